#pragma once

#include <QDialog>
#include <QString>

class FunctionList;

struct TProgram;

// The group editor: adds, renames and deletes the project's groups.
class TfrmGroups : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmGroups(TProgram& program, QWidget* parent = nullptr);

    // Shows the editor modally; on save the group list and the rows of lv are updated and the
    // project files written. True when the user saved.
    bool DoEdit(FunctionList& lv);

private:
    TProgram& m_program;
};
