#include "tfrmitem.h"

#include "program.h"

TfrmItem::TfrmItem(TProgram& program, QWidget* parent)
    : QDialog(parent)
    , m_program(program)
{
}

void TfrmItem::DoAdd(FunctionList&)
{
}

void TfrmItem::DoEdit(int, FunctionList&)
{
}
