#pragma once

#include "model/notice.h"

#include <QString>
#include <QStringList>

class Language;

// Everything the program asks or tells the user goes through this interface: the windows answer it
// with Qt dialogs, the command-line tool on the terminal, tests by script.
class Prompts
{
public:
    // The button that Enter presses in a confirmation; Escape always answers No.
    enum class Default
    {
        Yes,
        No
    };

    virtual ~Prompts() = default;

    // Error box with a single OK button.
    virtual void error(const QString& text) = 0;
    // Information box with a single OK button.
    virtual void information(const QString& text) = 0;
    // What an operation reported, each notice in its own box, in order.
    void show(const Notices& notices, const Language& language);
    // Confirmation with Yes and No; true for Yes. A question whose Yes destroys the user's data
    // gives Default::No, so that a hasty Enter keeps it.
    virtual bool confirm(const QString& text, Default defaultButton = Default::Yes) = 0;
    // A confirmation with details the user unfolds on request (the window's "Show Details…");
    // where nothing unfolds, the details are left out.
    virtual bool confirmWithDetails(const QString& text, const QString& /*details*/) { return confirm(text); }
    // Error box with Yes and No; true for Yes.
    virtual bool errorYesNo(const QString& text) = 0;
    // Text prompt with caption, prompt line and initial value; false on Cancel, else value holds
    // the text typed.
    virtual bool textPrompt(const QString& caption, const QString& prompt, QString& value) = 0;
    // A list to pick one entry from, with caption and prompt line; false on Cancel, else index holds
    // the entry picked.
    virtual bool choose(const QString& caption, const QString& prompt, const QStringList& items,
                        int& index) = 0;
    // Save-file dialog; an empty result means cancelled.
    virtual QString saveFileName(const QString& title, const QString& defaultName, const QString& filter) = 0;
    // Open-file dialog for an existing file, starting at proposal; an empty result means cancelled.
    virtual QString openFileName(const QString& title, const QString& proposal, const QString& filter) = 0;
    // Dialog that picks an existing folder, starting at proposal; an empty result means cancelled.
    virtual QString folderName(const QString& title, const QString& proposal) = 0;
};
