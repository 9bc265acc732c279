#pragma once

#include "link/ttransfer.h"

#include <QString>

class QIODevice;

// The transfer dialog's part on a terminal: the address comes from the command line, progress and
// the gateway's clock go to standard error line by line, questions to the terminal prompts.
class TTerminalTransferView : public TransferView
{
public:
    // err: where progress is written; rebootNote: the text shown when openHAB is restarted.
    TTerminalTransferView(QString address, TransferMode mode, Prompts& prompts, QIODevice& err,
                          QString rebootNote);

    QString address() const override { return m_address; }
    TransferMode mode() const override { return m_mode; }
    // Written as "[step/steps] text".
    void setProgressText(const QString& text) override;
    void setProgress(int value, int maximum) override;
    void advanceProgress() override;
    void setServerTime(const QString& caption, const QString& hint) override;
    void showRebootNote() override;
    Prompts& prompts() override { return m_prompts; }

private:
    void writeLine(const QString& text);

    QString m_address;
    TransferMode m_mode;
    Prompts& m_prompts;
    QIODevice& m_err;
    QString m_rebootNote;
    int m_progress = 0;
    int m_maximum = 0;
};
