// Renders the main window and the five dialogs to PNG files, as they look on a fresh installation
// with the demo projects: varuno-render-windows OUTPUT_DIR [LANGUAGE]. Each dialog is opened through
// its entry operation, as the main window opens it, pictured and cancelled. Runs on any Qt
// platform; the render-windows script uses the offscreen one. The program folder is a temporary
// copy, so nothing of an installation is touched.

#include "model/functionlist.h"
#include "treecopy.h"
#include "ui/functioneditor.h"
#include "ui/groupeditor.h"
#include "ui/mainwindow.h"
#include "ui/newprojectdialog.h"
#include "ui/settingsdialog.h"
#include "ui/startup.h"
#include "ui/transferdialog.h"
#include "workspace/prompts.h"
#include "workspace/settings.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <functional>
#include <utility>

namespace {

// Nothing may wait for an answer here: every question is logged and answered with No or Cancel.
class LoggingPrompts : public Prompts
{
public:
    void error(const QString& text) override { log(QStringLiteral("error"), text); }
    void information(const QString& text) override { log(QStringLiteral("information"), text); }
    bool confirm(const QString& text, Default) override { return log(QStringLiteral("confirm"), text); }
    bool errorYesNo(const QString& text) override { return log(QStringLiteral("error"), text); }
    bool textPrompt(const QString& caption, const QString&, QString&) override
    {
        return log(QStringLiteral("prompt"), caption);
    }
    bool choose(const QString& caption, const QString&, const QStringList&, int&) override
    {
        return log(QStringLiteral("choose"), caption);
    }
    QString saveFileName(const QString& title, const QString&, const QString&) override
    {
        log(QStringLiteral("save"), title);
        return {};
    }
    QString openFileName(const QString& title, const QString&, const QString&) override
    {
        log(QStringLiteral("open"), title);
        return {};
    }
    QString folderName(const QString& title, const QString&) override
    {
        log(QStringLiteral("folder"), title);
        return {};
    }

private:
    static bool log(const QString& kind, const QString& text)
    {
        QTextStream(stderr) << kind << ": " << text << '\n';
        return false;
    }
};

bool report(bool saved, const QString& fileName)
{
    QTextStream(saved ? stdout : stderr) << (saved ? "wrote " : "cannot write ") << fileName << '\n';
    return saved;
}

// Runs open(), which shows a modal dialog, and pictures the dialog from inside its event loop.
bool renderModal(const std::function<void()>& open, const QString& fileName)
{
    bool saved = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        QApplication::processEvents();
        saved = dialog->grab().save(fileName);
        dialog->reject();
    });
    open();
    // An entry operation that showed nothing leaves the timer behind: it must not picture the next.
    QApplication::processEvents();
    return report(saved, fileName);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2 || args.size() > 3) {
        QTextStream(stderr) << "usage: varuno-render-windows OUTPUT_DIR [LANGUAGE]\n";
        return 2;
    }
    const QString outputDir = args.at(1);
    const QString language = args.size() > 2 ? args.at(2) : QStringLiteral("Deutsch");

    QTemporaryDir programDir;
    if (!programDir.isValid() || !QDir().mkpath(outputDir) ||
        !CopyTree(QStringLiteral(VARUNO_DATA_DIR), programDir.filePath(QStringLiteral("config"))) ||
        !CopyTree(QStringLiteral(VARUNO_DEMO_DIR), programDir.filePath(QStringLiteral("projects")))) {
        QTextStream(stderr) << "cannot prepare a program folder\n";
        return 1;
    }
    Settings(programDir.filePath(QStringLiteral("config/settings.ini"))).setLanguage(language);

    LoggingPrompts prompts;
    Startup startup(programDir.path(), prompts);
    Program& program = startup.program();
    MainWindow& mainWindow = startup.mainWindow();
    mainWindow.show();
    QApplication::processEvents();
    const QDir output(outputDir);
    bool ok = report(mainWindow.grab().save(output.filePath(QStringLiteral("main-window.png"))),
                     output.filePath(QStringLiteral("main-window.png")));

    FunctionList& items = mainWindow.items();
    const std::pair<QString, std::function<void()>> dialogs[] = {
        {QStringLiteral("settings.png"), [&] { program.settingsDialog->Execute(); }},
        {QStringLiteral("function-editor-new.png"), [&] { program.functionEditor->DoAdd(items); }},
        {QStringLiteral("function-editor-edit.png"), [&] { program.functionEditor->DoEdit(0, items); }},
        {QStringLiteral("group-editor.png"), [&] { program.groupEditor->DoEdit(items); }},
        {QStringLiteral("transfer-send.png"),
         [&] { program.transferDialog->DoTransfer(TransferMode::Send); }},
        {QStringLiteral("transfer-receive.png"),
         [&] { program.transferDialog->DoTransfer(TransferMode::Receive); }},
        {QStringLiteral("project-new.png"), [&] { program.newProjectDialog->New(); }},
        {QStringLiteral("project-edit.png"), [&] { program.newProjectDialog->Edit(); }},
    };
    for (const auto& [name, open] : dialogs)
        ok = renderModal(open, output.filePath(name)) && ok;
    return ok ? 0 : 1;
}
