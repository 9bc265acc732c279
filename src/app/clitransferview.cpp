#include "clitransferview.h"
#include "cliterminaltext.h"
#include "workspace/prompts.h"

#include <QIODevice>

#include <utility>

using namespace Qt::StringLiterals;

namespace {

volatile std::sig_atomic_t ctrlCPressed = 0;

extern "C" void onCtrlC(int)
{
    ctrlCPressed = 1;
}

} // namespace

TCtrlCGuard::TCtrlCGuard()
{
    ctrlCPressed = 0;
    struct sigaction action = {};
    action.sa_handler = onCtrlC;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a question waiting for the terminal ends as well.
    action.sa_flags = 0;
    ::sigaction(SIGINT, &action, &m_previous);
}

TCtrlCGuard::~TCtrlCGuard()
{
    ::sigaction(SIGINT, &m_previous, nullptr);
}

bool TCtrlCGuard::pressed()
{
    return ctrlCPressed != 0;
}

bool TCtrlCGuard::takePressed()
{
    if (ctrlCPressed == 0)
        return false;
    ctrlCPressed = 0;
    return true;
}

bool TTerminalTransferView::cancelRequested()
{
    return TCtrlCGuard::pressed();
}

TTerminalTransferView::TTerminalTransferView(QString address, TransferMode mode, Prompts& prompts,
                                             const Language& language, QIODevice& err, QString rebootNote)
    : m_address(std::move(address)), m_mode(mode), m_prompts(prompts), m_language(language), m_err(err),
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

void TTerminalTransferView::showProblem(const Problem& problem)
{
    m_prompts.error(problem.text(m_language));
}

void TTerminalTransferView::writeLine(const QString& text)
{
    m_err.write(TerminalText(text + u'\n'));
}
