#pragma once

#include "workspace/prompts.h"

#include <QQueue>
#include <QString>
#include <QStringList>

// Prompts answered by script: each question takes the next queued answer (a test that runs out of
// answers fails). Every text shown is recorded with its kind, e.g. "error: Projekt bereits vorhanden";
// a confirmation whose Enter answers No is recorded as "confirm, default No: ...".
class ScriptedPrompts : public Prompts
{
public:
    void queueYes() { m_answers.enqueue(QStringLiteral("yes")); }
    void queueNo() { m_answers.enqueue(QStringLiteral("no")); }
    // Answer for the next textPrompt (OK with text) or saveFileName (the chosen file).
    void queueText(const QString& text) { m_answers.enqueue(QStringLiteral("text:") + text); }
    // Cancel for the next textPrompt or saveFileName.
    void queueCancel() { m_answers.enqueue(QStringLiteral("cancel")); }

    void reset()
    {
        m_answers.clear();
        shown.clear();
        lastSaveProposal.clear();
        lastDetails.clear();
    }
    bool allAnswered() const { return m_answers.isEmpty(); }

    QStringList shown;
    // The file name the last saveFileName proposed.
    QString lastSaveProposal;
    // The details of the last confirmWithDetails.
    QString lastDetails;

    void error(const QString& text) override;
    void information(const QString& text) override;
    bool confirm(const QString& text, Default defaultButton = Default::Yes) override;
    // Recorded as confirm(), its details kept in lastDetails.
    bool confirmWithDetails(const QString& text, const QString& details) override;
    bool errorYesNo(const QString& text) override;
    bool textPrompt(const QString& caption, const QString& prompt, QString& value) override;
    // Takes a queued text as the entry to pick; shown as "choose: caption / prompt / entry | entry".
    bool choose(const QString& caption, const QString& prompt, const QStringList& items, int& index) override;
    QString saveFileName(const QString& title, const QString& defaultName, const QString& filter) override;
    // Takes a queued text as the file picked, like saveFileName; shown as "open: title".
    QString openFileName(const QString& title, const QString& proposal, const QString& filter) override;
    // Takes a queued text as the folder picked, like saveFileName; shown as "folder: title".
    QString folderName(const QString& title, const QString& proposal) override;

private:
    QString next(const QString& question);
    QQueue<QString> m_answers;
};
