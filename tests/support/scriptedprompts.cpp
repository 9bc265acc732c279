#include "scriptedprompts.h"

#include <QTest>

QString ScriptedPrompts::next(const QString& question)
{
    if (m_answers.isEmpty()) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected question: ") + question), __FILE__, __LINE__);
        return QStringLiteral("cancel");
    }
    return m_answers.dequeue();
}

void ScriptedPrompts::error(const QString& text)
{
    shown << QStringLiteral("error: ") + text;
}

void ScriptedPrompts::information(const QString& text)
{
    shown << QStringLiteral("information: ") + text;
}

bool ScriptedPrompts::confirm(const QString& text, Default defaultButton)
{
    shown << (defaultButton == Default::No ? QStringLiteral("confirm, default No: ")
                                           : QStringLiteral("confirm: ")) +
                 text;
    return next(text) != QStringLiteral("no");
}

bool ScriptedPrompts::confirmWithDetails(const QString& text, const QString& details)
{
    lastDetails = details;
    return confirm(text);
}

bool ScriptedPrompts::errorYesNo(const QString& text)
{
    shown << QStringLiteral("errorYesNo: ") + text;
    return next(text) != QStringLiteral("no");
}

bool ScriptedPrompts::textPrompt(const QString& caption, const QString& prompt, QString& value)
{
    shown << QStringLiteral("prompt: ") + caption + QStringLiteral(" / ") + prompt;
    const QString answer = next(prompt);
    if (!answer.startsWith(QStringLiteral("text:")))
        return false;
    value = answer.mid(5);
    return true;
}

bool ScriptedPrompts::choose(const QString& caption, const QString& prompt, const QStringList& items,
                             int& index)
{
    shown << QStringLiteral("choose: ") + caption + QStringLiteral(" / ") + prompt + QStringLiteral(" / ") +
                 items.join(QStringLiteral(" | "));
    const QString answer = next(prompt);
    index = answer.startsWith(QStringLiteral("text:")) ? int(items.indexOf(answer.mid(5))) : -1;
    return index >= 0;
}

QString ScriptedPrompts::folderName(const QString& title, const QString&)
{
    shown << QStringLiteral("folder: ") + title;
    const QString answer = next(title);
    return answer.startsWith(QStringLiteral("text:")) ? answer.mid(5) : QString();
}

QString ScriptedPrompts::openFileName(const QString& title, const QString&, const QString&)
{
    shown << QStringLiteral("open: ") + title;
    const QString answer = next(title);
    return answer.startsWith(QStringLiteral("text:")) ? answer.mid(5) : QString();
}

QString ScriptedPrompts::saveFileName(const QString& title, const QString& defaultName, const QString&)
{
    shown << QStringLiteral("save: ") + title;
    lastSaveProposal = defaultName;
    const QString answer = next(title);
    return answer.startsWith(QStringLiteral("text:")) ? answer.mid(5) : QString();
}
