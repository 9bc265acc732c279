#pragma once

#include <QDialog>
#include <QString>

class FunctionList;

struct TProgram;

// The function editor: creates a new function of the open project or changes one.
class TfrmItem : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmItem(TProgram& program, QWidget* parent = nullptr);

    // Prepares the editor for a new function of lv and shows it modally.
    void DoAdd(FunctionList& lv);
    // Loads row of lv into the editor and shows it modally.
    void DoEdit(int row, FunctionList& lv);

private:
    TProgram& m_program;
};
