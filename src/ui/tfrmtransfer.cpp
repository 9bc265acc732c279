#include "tfrmtransfer.h"

#include "program.h"

TfrmTransfer::TfrmTransfer(TProgram& program, QWidget* parent)
    : QDialog(parent)
    , m_program(program)
{
}

void TfrmTransfer::DoTransfer(int)
{
}
