#pragma once

#include "link/gatewaytransfer.h"

#include <QString>

#include <csignal>

class QIODevice;
class Language;

// The transfer dialog's part on a terminal: the address comes from the command line, progress and
// the gateway's clock go to standard error line by line, failures and questions to the terminal
// prompts.
class TerminalTransferView : public TransferView
{
public:
    // language: that of the failures; err: where progress is written; rebootNote: the text shown
    // when openHAB is restarted.
    TerminalTransferView(QString address, TransferMode mode, Prompts& prompts, const Language& language,
                         QIODevice& err, QString rebootNote);

    QString address() const override { return m_address; }
    TransferMode mode() const override { return m_mode; }
    // Written as "[step/steps] text".
    void setProgressText(const QString& text) override;
    void setProgress(int value, int maximum) override;
    void advanceProgress() override;
    void setServerTime(const QString& caption, const QString& hint) override;
    void showRebootNote() override;
    void showProblem(const Problem& problem) override;
    Prompts& prompts() override { return m_prompts; }
    // True once Ctrl-C was pressed while a CtrlCGuard lives.
    bool cancelRequested() override;

private:
    void writeLine(const QString& text);

    QString m_address;
    TransferMode m_mode;
    Prompts& m_prompts;
    const Language& m_language;
    QIODevice& m_err;
    QString m_rebootNote;
    int m_progress = 0;
    int m_maximum = 0;
};

// While it lives, Ctrl-C no longer ends the program at once: it asks the running transfer to stop,
// which then ends the way a failure does, with nothing half written.
class CtrlCGuard
{
public:
    CtrlCGuard();
    ~CtrlCGuard();
    CtrlCGuard(const CtrlCGuard&) = delete;
    CtrlCGuard& operator=(const CtrlCGuard&) = delete;

    static bool pressed();
    // Whether Ctrl-C was pressed since the last call: each press asks for one step back.
    static bool takePressed();

private:
    struct sigaction m_previous;
};
