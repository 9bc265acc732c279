#include "clitransferview.h"

#include <QIODevice>

#include <utility>

using namespace Qt::StringLiterals;

TTerminalTransferView::TTerminalTransferView(QString address, TransferMode mode, Prompts& prompts,
                                             QIODevice& err, QString rebootNote)
    : m_address(std::move(address)), m_mode(mode), m_prompts(prompts), m_err(err),
      m_rebootNote(std::move(rebootNote))
{
}

void TTerminalTransferView::setProgressText(const QString& text)
{
    writeLine(u"[%1/%2] "_s.arg(m_progress).arg(m_maximum) + text);
}

void TTerminalTransferView::setProgress(int value, int maximum)
{
    m_progress = value;
    m_maximum = maximum;
}

void TTerminalTransferView::advanceProgress()
{
    ++m_progress;
}

void TTerminalTransferView::setServerTime(const QString& caption, const QString& hint)
{
    writeLine(caption + u" ("_s + hint + u')');
}

void TTerminalTransferView::showRebootNote()
{
    writeLine(m_rebootNote.trimmed());
}

void TTerminalTransferView::writeLine(const QString& text)
{
    m_err.write(text.toUtf8() + '\n');
}
