#pragma once

#include <QDialog>
#include <QString>

struct TProgram;

// The transfer dialog: sends the open project to the gateway or receives it back.
class TfrmTransfer : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmTransfer(TProgram& program, QWidget* parent = nullptr);

    // Prepares the dialog for iMode (1 send, 2 receive) and shows it modally.
    void DoTransfer(int iMode);

private:
    TProgram& m_program;
};
