#include "startup.h"

#include "style.h"

#include "functioneditor.h"
#include "groupeditor.h"
#include "mainwindow.h"
#include "newprojectdialog.h"
#include "settingsdialog.h"
#include "transferdialog.h"

#include <QGuiApplication>

namespace {

QString configDir(const QString& programDir)
{
    const QString folder = programDir.endsWith(QLatin1Char('/')) ? programDir : programDir + QLatin1Char('/');
    return folder + QStringLiteral("config/");
}

} // namespace

// The generator refers to the catalogue and the address rules, so those two are made first. None
// of the three reads a file or uses another object while it is made (the catalogue stays empty
// until a language is loaded), so their order is not visible from outside.
Startup::Startup(const QString& programDir, Prompts& prompts)
    : m_language(configDir(programDir)),
      m_openHab(m_language, configDir(programDir)), m_program{m_openHab, m_language, prompts}
{
    // Every window, the dialogs too, carries the program's picture in its title bar and task bar.
    QGuiApplication::setWindowIcon(Style::icon(QStringLiteral("logo"), Style::accent(), {256, 256}));
    m_frmMain = std::make_unique<MainWindow>(m_program, programDir);
    MainWindow* owner = m_frmMain.get();
    m_program.settingsDialog = new SettingsDialog(m_program, owner);
    m_program.functionEditor = new FunctionEditor(m_program, owner);
    m_program.groupEditor = new GroupEditor(m_program, owner);
    m_program.transferDialog = new TransferDialog(m_program, owner);
    m_program.newProjectDialog = new NewProjectDialog(m_program, owner);
}

Startup::~Startup() = default;
