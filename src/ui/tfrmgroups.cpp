#include "tfrmgroups.h"

#include "program.h"

TfrmGroups::TfrmGroups(TProgram& program, QWidget* parent)
    : QDialog(parent)
    , m_program(program)
{
}

bool TfrmGroups::DoEdit(FunctionList&)
{
    return false;
}
