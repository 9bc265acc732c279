#include "tfrmsettings.h"

#include "program.h"

TfrmSettings::TfrmSettings(TProgram& program, QWidget* parent)
    : QDialog(parent)
    , m_program(program)
{
}

void TfrmSettings::Execute()
{
}
