#pragma once

#include "workspace/prompts.h"

class QWidget;

// The prompts as the windows show them: message boxes, a text prompt and the save-file dialog,
// each modal over the window the user is working in.
class QtPrompts : public Prompts
{
public:
    void error(const QString& text) override;
    void information(const QString& text) override;
    bool confirm(const QString& text, Default defaultButton = Default::Yes) override;
    bool confirmWithDetails(const QString& text, const QString& details) override;
    bool errorYesNo(const QString& text) override;
    bool textPrompt(const QString& caption, const QString& prompt, QString& value) override;
    bool choose(const QString& caption, const QString& prompt, const QStringList& items, int& index) override;
    // filter: "description (*.ext)"; the first pattern's extension is added to a name typed without
    // one. Overwriting an existing file is confirmed first.
    QString saveFileName(const QString& title, const QString& defaultName, const QString& filter) override;
    QString openFileName(const QString& title, const QString& proposal, const QString& filter) override;
    QString folderName(const QString& title, const QString& proposal) override;

private:
    static QWidget* owner();
};
