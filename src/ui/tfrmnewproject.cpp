#include "tfrmnewproject.h"

#include "program.h"

TfrmNewProject::TfrmNewProject(TProgram& program, QWidget* parent)
    : QDialog(parent)
    , m_program(program)
{
}

bool TfrmNewProject::New()
{
    return false;
}

bool TfrmNewProject::Edit()
{
    return false;
}
