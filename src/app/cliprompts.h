#pragma once

#include "workspace/prompts.h"

#include <QString>

class QIODevice;

// The program's messages and questions on a terminal: every text goes to standard error, a
// question is asked there and answered on the terminal with y or n. With assumeYes (--yes) every
// question is answered Yes without waiting; without a terminal to answer on (a script, a pipe) it
// is answered No, so that nothing is overwritten unasked.
class TerminalPrompts : public Prompts
{
public:
    // err: where texts and questions are written; terminal: where the user answers, nullptr when
    // there is none.
    TerminalPrompts(QIODevice& err, QIODevice* terminal, bool assumeYes);

    bool hasTerminal() const { return m_terminal != nullptr; }

    void error(const QString& text) override;
    void information(const QString& text) override;
    bool confirm(const QString& text, Default defaultButton = Default::Yes) override;
    bool errorYesNo(const QString& text) override;
    bool textPrompt(const QString& caption, const QString& prompt, QString& value) override;
    // The entries numbered from 1; the number typed picks one.
    bool choose(const QString& caption, const QString& prompt, const QStringList& items, int& index) override;
    // There is no file dialog on a terminal: files are named on the command line.
    QString saveFileName(const QString& title, const QString& defaultName, const QString& filter) override;
    QString openFileName(const QString& title, const QString& proposal, const QString& filter) override;
    QString folderName(const QString& title, const QString& proposal) override;

private:
    bool ask(const QString& question);
    void write(const QString& text);
    // One line typed on the terminal without its line break; false at the end of the input.
    bool readLine(QString& line);

    QIODevice& m_err;
    QIODevice* m_terminal;
    bool m_assumeYes;
};
