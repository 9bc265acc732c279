#include "cliprompts.h"
#include "cliterminaltext.h"

#include <QIODevice>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QString answerHint = u" [y/n] "_s;

// German users type j, others y; anything else is asked again.
std::optional<bool> answerOf(const QString& typed)
{
    const QString answer = typed.trimmed().toLower();
    if (answer == u"y" || answer == u"yes" || answer == u"j" || answer == u"ja")
        return true;
    if (answer == u"n" || answer == u"no" || answer == u"nein")
        return false;
    return std::nullopt;
}

} // namespace

TerminalPrompts::TerminalPrompts(QIODevice& err, QIODevice* terminal, bool assumeYes)
    : m_err(err), m_terminal(terminal), m_assumeYes(assumeYes)
{
}

void TerminalPrompts::error(const QString& text)
{
    write(text + u'\n');
}

void TerminalPrompts::information(const QString& text)
{
    write(text + u'\n');
}

// The terminal has no default: an empty line is asked again.
bool TerminalPrompts::confirm(const QString& text, Default)
{
    return ask(text);
}

bool TerminalPrompts::errorYesNo(const QString& text)
{
    return ask(text);
}

bool TerminalPrompts::ask(const QString& question)
{
    // The answer is written after the question, so that a log shows what was decided.
    if (m_assumeYes || !m_terminal) {
        write(question + answerHint + (m_assumeYes ? u"y\n"_s : u"n\n"_s));
        return m_assumeYes;
    }
    for (;;) {
        write(question + answerHint);
        QString line;
        if (!readLine(line)) {
            write(u"\n"_s);
            return false;
        }
        if (const std::optional<bool> answer = answerOf(line))
            return *answer;
    }
}

bool TerminalPrompts::textPrompt(const QString& caption, const QString& prompt, QString& value)
{
    if (!m_terminal)
        return false;
    write(caption + u'\n' + prompt + u' ');
    QString line;
    if (!readLine(line))
        return false;
    value = line;
    return true;
}

bool TerminalPrompts::choose(const QString& caption, const QString& prompt, const QStringList& items,
                             int& index)
{
    if (!m_terminal)
        return false;
    QString text = caption + u'\n';
    for (qsizetype i = 0; i < items.size(); ++i)
        text += QString::number(i + 1) + QStringLiteral(") ") + items.at(i) + u'\n';
    write(text + prompt + u' ');
    QString line;
    bool bNumber = false;
    const int number = readLine(line) ? line.trimmed().toInt(&bNumber) : 0;
    if (!bNumber || number < 1 || number > items.size())
        return false;
    index = number - 1;
    return true;
}

QString TerminalPrompts::saveFileName(const QString&, const QString&, const QString&)
{
    return {};
}

// The command line names its files as arguments.
QString TerminalPrompts::openFileName(const QString&, const QString&, const QString&)
{
    return {};
}

// The command line names its folders as arguments.
QString TerminalPrompts::folderName(const QString&, const QString&)
{
    return {};
}

void TerminalPrompts::write(const QString& text)
{
    m_err.write(TerminalText(text));
}

bool TerminalPrompts::readLine(QString& line)
{
    QByteArray bytes = m_terminal->readLine();
    if (bytes.isEmpty())
        return false;
    while (bytes.endsWith('\n') || bytes.endsWith('\r'))
        bytes.chop(1);
    line = QString::fromUtf8(bytes);
    return true;
}
