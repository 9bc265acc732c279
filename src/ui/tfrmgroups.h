#pragma once

#include "model/functionentry.h"
#include "model/messages.h"

#include <QDialog>
#include <QList>
#include <QString>

class FunctionList;
class QLabel;
class QListWidget;
class QPushButton;

struct TProgram;

// The group editor: adds, renames and deletes the project's groups. It works on a copy of the
// function list's rows, so that a rename or delete can follow every membership and still be
// discarded by "Abbrechen"; "Speichern" takes over the group list, writes the project's files from
// the copy and puts the copy back into the function list.
class TfrmGroups : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmGroups(TProgram& program, QWidget* parent = nullptr);

    // Shows the editor modally; on save the group list and the rows of lv are updated and the
    // project files written. True when the user saved.
    bool DoEdit(FunctionList& lv);

    // The window's controls, by their design names, for the tests' use.
    QLabel* Label5 = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* SpeedButton1 = nullptr;
    QListWidget* lbGruppe = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnClose = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void btnAddClick();
    void lbGruppeDblClick();
    void SpeedButton1Click();
    void btnSaveClick();

    QStringList groupNames() const;
    // Asks for a group name; false when the user cancelled or left it empty, or (after the error
    // box) when the name is not valid.
    bool askGroupName(Msg caption, QString& name);
    // Functions that belong to the group lose it with the group: the user names them and agrees
    // first, and a hasty Enter keeps the group.
    bool confirmDeletion(const QString& name);

    TProgram& m_program;
    // lvItems: the copy of the function list's rows that renames and deletes work on.
    QList<FunctionEntry> m_rows;
};
