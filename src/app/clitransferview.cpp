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

CtrlCGuard::CtrlCGuard()
{
    ctrlCPressed = 0;
    struct sigaction action = {};
    action.sa_handler = onCtrlC;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a question waiting for the terminal ends as well.
    action.sa_flags = 0;
    ::sigaction(SIGINT, &action, &m_previous);
}

CtrlCGuard::~CtrlCGuard()
{
    ::sigaction(SIGINT, &m_previous, nullptr);
}

bool CtrlCGuard::pressed()
{
    return ctrlCPressed != 0;
}

bool CtrlCGuard::takePressed()
{
    if (ctrlCPressed == 0)
        return false;
    ctrlCPressed = 0;
    return true;
}

bool TerminalTransferView::cancelRequested()
{
    return CtrlCGuard::pressed();
}

TerminalTransferView::TerminalTransferView(QString address, TransferMode mode, Prompts& prompts,
                                           const Language& language, QIODevice& err, QString rebootNote)
    : m_address(std::move(address)), m_mode(mode), m_prompts(prompts), m_language(language), m_err(err),
      m_rebootNote(std::move(rebootNote))
{
}

void TerminalTransferView::setProgressText(const QString& text)
{
    writeLine(u"[%1/%2] "_s.arg(m_progress).arg(m_maximum) + text);
}

void TerminalTransferView::setProgress(int value, int maximum)
{
    m_progress = value;
    m_maximum = maximum;
}

void TerminalTransferView::advanceProgress()
{
    ++m_progress;
}

void TerminalTransferView::setServerTime(const QString& caption, const QString& hint)
{
    writeLine(caption + u" ("_s + hint + u')');
}

void TerminalTransferView::showRebootNote()
{
    writeLine(m_rebootNote.trimmed());
}

void TerminalTransferView::showProblem(const Problem& problem)
{
    m_prompts.error(problem.text(m_language));
}

void TerminalTransferView::writeLine(const QString& text)
{
    m_err.write(TerminalText(text + u'\n'));
}
