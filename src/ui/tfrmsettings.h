#pragma once

#include <QDialog>
#include <QString>

struct TProgram;

// The server settings dialog of the open project.
class TfrmSettings : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmSettings(TProgram& program, QWidget* parent = nullptr);

    // Fills the dialog from the open project and shows it modally.
    void Execute();

private:
    TProgram& m_program;
};
