#pragma once

#include <QStringList>
#include <QTreeView>

class FunctionList;
class KindGroupModel;

// The main window's report-style list of functions: a check box in every row, whole-row selection,
// the kind's picture before the label, and the switchable group view with a header per kind. It
// shows the one function list through KindGroupModel; rows are addressed by their position in
// that list.
class FunctionListView : public QTreeView
{
    Q_OBJECT
    // Written by FillLanguage, indexed by group ID.
    Q_PROPERTY(QStringList groupHeaders READ groupHeaders WRITE setGroupHeaders)

public:
    explicit FunctionListView(FunctionList& list, QWidget* parent = nullptr);

    FunctionList& functionList() const { return m_list; }

    bool groupView() const;
    void setGroupView(bool on);
    QStringList groupHeaders() const;
    void setGroupHeaders(const QStringList& headers);

    // Position of the selected row in the function list, -1 when none is selected.
    int selectedRow() const;
    void selectRow(int row);
    // Position of the row under pos (viewport coordinates); -1 over a group header, an empty
    // area, or beside, above or below the rows.
    int rowAt(const QPoint& pos) const;

signals:
    // A double click on a row (its label, picture, check box or cells), with the row's position;
    // Enter and F2 on the selected row signal it as well.
    void rowDoubleClicked(int row);
    // The Delete key: the marked functions are to be removed.
    void deleteRequested();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // Enter, F2, Delete, and the menu key or Shift+F10 (the popup menu at the selected row).
    void keyPressEvent(QKeyEvent* event) override;
    // The keyboard moves from function to function: group headers are passed over, so the current
    // row is always one that can be selected and opened.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    // Arriving by Tab selects the current function (the first one when none is current yet).
    void focusInEvent(QFocusEvent* event) override;
    // A cell shortened with "…" shows its whole text as a tooltip.
    bool viewportEvent(QEvent* event) override;

private:
    void layoutGroups();
    // Group view: the function nearest to group header number group, searching the groups in
    // direction (+1: its first function, -1: its last one); invalid where there is none.
    QModelIndex firstFunctionFrom(int group, int direction) const;

    FunctionList& m_list;
    KindGroupModel* m_model;
};
