#include "startup.h"

#include "style.h"

#include "tfrmgroups.h"
#include "tfrmitem.h"
#include "tfrmmain.h"
#include "tfrmnewproject.h"
#include "tfrmsettings.h"
#include "tfrmtransfer.h"

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
TStartup::TStartup(const QString& programDir, Prompts& prompts)
    : m_language(configDir(programDir)),
      m_openHab(m_language, configDir(programDir)), m_program{m_openHab, m_language, prompts}
{
    // Every window, the dialogs too, carries the program's picture in its title bar and task bar.
    QGuiApplication::setWindowIcon(Style::icon(QStringLiteral("logo"), Style::accent(), {256, 256}));
    m_frmMain = std::make_unique<TfrmMain>(m_program, programDir);
    TfrmMain* owner = m_frmMain.get();
    m_program.frmSettings = new TfrmSettings(m_program, owner);
    m_program.frmItem = new TfrmItem(m_program, owner);
    m_program.frmGroups = new TfrmGroups(m_program, owner);
    m_program.frmTransfer = new TfrmTransfer(m_program, owner);
    m_program.frmNewProject = new TfrmNewProject(m_program, owner);
}

TStartup::~TStartup() = default;
