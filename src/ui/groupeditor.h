#pragma once

#include "model/functionentry.h"
#include "model/groupnames.h"
#include "model/messages.h"

#include <QDialog>
#include <QList>
#include <QString>

class FunctionList;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

struct Program;

// The group editor: adds, renames and deletes the project's groups. It works on a copy of the
// function list's rows, so that a rename or delete can follow every membership and still be
// discarded by "Abbrechen"; "Speichern" takes over the group list, writes the project's files from
// the copy and puts the copy back into the function list.
class GroupEditor : public QDialog
{
    Q_OBJECT

public:
    explicit GroupEditor(Program& program, QWidget* parent = nullptr);

    // Shows the editor modally; on save the group list and the rows of lv are updated and the
    // project files written. True when the user saved.
    bool DoEdit(FunctionList& lv);

    // The window's controls, by their design names, for the tests' use.
    QLabel* lblTitle = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnDeleteMarked = nullptr;
    QListWidget* lbGruppe = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnClose = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void btnAddClick();
    void lbGruppeDblClick();
    void btnDeleteMarkedClick();
    void btnSaveClick();

    // An entry shows the group's label and holds its item name.
    static QListWidgetItem* newEntry(const GroupNaming& group);
    static QString nameOf(const QListWidgetItem* entry);
    // The item names of the entries, in list order, leaving out except.
    QStringList groupNames(const QListWidgetItem* except = nullptr) const;
    QStringList shownNames() const;
    GroupLabels groupLabels() const;
    // Asks for a group, starting from the text shown; no name when the user cancelled or left it
    // blank. The group being renamed, except, does not count as taken.
    GroupNaming askGroup(Msg caption, const QString& shown, const QListWidgetItem* except) const;
    // Functions that belong to the group lose it with the group: the user names them and agrees
    // first, and a hasty Enter keeps the group.
    bool confirmDeletion(const QString& name, const QString& shown);

    Program& m_program;
    // lvItems: the copy of the function list's rows that renames and deletes work on.
    QList<FunctionEntry> m_rows;
};
