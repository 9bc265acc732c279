#include "tworkspace.h"

#include "model/functionlist.h"
#include "model/tlanguage.h"
#include "openhab/topenhab.h"
#include "projectname.h"
#include "prompts.h"
#include "tprojectini.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

QString withSlash(const QString& folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

const QString msgNotDeleted = QStringLiteral("Das Projekt konnte nicht gelöscht werden.");
const QString msgExists = QStringLiteral("Projekt bereits vorhanden");
const QString msgInvalidName =
    QStringLiteral("Projekt konnte nicht angelegt werden. Ungültiger Projektname.");

} // namespace

TWorkspace::TWorkspace(const QString& programDir, TopenHab& openHab, const TLanguage& language,
                       Prompts& prompts, QObject* parent)
    : QObject(parent), m_openHab(openHab), m_language(language), m_prompts(prompts),
      m_projDir(withSlash(programDir) + QStringLiteral("projects/")),
      m_cfgDir(withSlash(programDir) + QStringLiteral("config/")),
      m_inif(m_cfgDir + QStringLiteral("settings.ini")), m_cloudServer(m_inif.Cloudserver()),
      m_scenarioEnabled(m_inif.Scenario())
{
    discoverProjects();
    if (m_projects.isEmpty())
        return;
    // Of two folders apart only in letter case, the one spelled exactly as the last one is meant.
    const QString last = m_inif.LastProject();
    int match = int(m_projects.indexOf(last));
    if (match < 0)
        match = indexOfAnyCase(last);
    m_selected = std::max(match, 0);
}

QString TWorkspace::message(int msgID, const QString& sDefault) const
{
    return m_language.GetMsg(msgID, sDefault);
}

void TWorkspace::discoverProjects()
{
    // Without QDir::Hidden and QDir::System, hidden and system entries stay out, as do files.
    m_projects = QDir(m_projDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::NoSort);
    sortProjects();
}

void TWorkspace::sortProjects()
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // Names equal but for letter case (possible on case-sensitive file systems) keep a fixed order.
    std::sort(m_projects.begin(), m_projects.end(), [&](const QString& a, const QString& b) {
        const int order = collator.compare(a, b);
        return order != 0 ? order < 0 : a < b;
    });
}

int TWorkspace::indexOfAnyCase(const QString& name) const
{
    const auto match = std::find_if(m_projects.cbegin(), m_projects.cend(), [&](const QString& project) {
        return project.compare(name, Qt::CaseInsensitive) == 0;
    });
    return match == m_projects.cend() ? -1 : int(match - m_projects.cbegin());
}

// Two projects apart only in letter case are easily mistaken for one another (and sent to the wrong
// gateway), and cannot both exist on every file system: a name taken in any letter case is taken.
// The folder is asked too, since the list is only read at start.
bool TWorkspace::projectExists(const QString& name) const
{
    if (indexOfAnyCase(name) >= 0 || QFileInfo(m_projDir + name).isDir())
        return true;
    const QStringList folders = QDir(m_projDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    return folders.contains(name, Qt::CaseInsensitive);
}

void TWorkspace::selectByName(const QString& name)
{
    m_selected = int(m_projects.indexOf(name));
}

QString TWorkspace::selectedProject() const
{
    return m_selected < 0 ? QString() : m_projects.at(m_selected);
}

void TWorkspace::selectProject(int index)
{
    if (index < 0 || index >= projectCount() || index == m_selected)
        return;
    m_selected = index;
    emit projectsChanged();
}

bool TWorkspace::OpenSelectedProject(FunctionList& lv)
{
    const QString name = selectedProject();
    if (name.isEmpty())
        return false;
    m_openHab.sProjPath = projectFolder(name);
    m_openHab.sProj = name;
    try {
        m_openHab.LoadFiles(lv);
    } catch (const EFileError& e) {
        m_prompts.error(e.text());
        return false;
    }
    m_inif.setLastProject(name);
    return true;
}

bool TWorkspace::CreateProject(FunctionList& lv, const QString& sName, const QString& sSerial,
                               bool bGroupByRooms)
{
    if (sName.isEmpty())
        return false;
    // "." and ".." exist as folders, so the name check comes before the existence check.
    if (!IsSafeProjectName(sName)) {
        m_prompts.error(message(5, msgInvalidName));
        return false;
    }
    if (projectExists(sName)) {
        m_prompts.error(message(4, msgExists));
        return false;
    }
    if (!QDir(m_projDir).mkdir(sName)) {
        m_prompts.error(message(5, msgInvalidName));
        return false;
    }

    // A template that cannot be copied is left out: opening the project then names the missing file.
    const QString folder = projectFolder(sName);
    for (const QString& file : {m_openHab.sItemsFile, m_openHab.sCfgFile, m_openHab.sUUIDFile,
                                m_openHab.sSecretFile, m_openHab.sMQTTFile})
        QFile::copy(m_cfgDir + file, folder + file);

    m_projects << sName;
    sortProjects();
    selectByName(sName);
    emit projectsChanged();

    OpenSelectedProject(lv);
    // Written even when the opening failed: the project exists and keeps what the user typed.
    TProjectIni projectIni(folder);
    if (!sSerial.isEmpty())
        projectIni.setSerial(sSerial);
    projectIni.setGroupByRooms(bGroupByRooms);
    return true;
}

bool TWorkspace::SaveProjectSettings(const QString& sOldName, const QString& sNewName, const QString& sSerial,
                                     bool bGroupByRooms)
{
    if (!m_projects.contains(sOldName))
        return false;
    QString name = sOldName;
    // A change of letter case alone renames nothing.
    if (sOldName.compare(sNewName, Qt::CaseInsensitive) != 0) {
        if (!IsSafeProjectName(sNewName)) {
            m_prompts.error(message(5, msgInvalidName));
            return false;
        }
        if (projectExists(sNewName)) {
            m_prompts.error(message(4, msgExists));
            return false;
        }
        if (!QDir(m_projDir).rename(sOldName, sNewName)) {
            m_prompts.error(message(5, msgInvalidName));
            return false;
        }
        name = sNewName;
        m_projects.replace(m_projects.indexOf(sOldName), name);
        sortProjects();
        selectByName(name);
        m_openHab.sProjPath = projectFolder(name);
        m_openHab.sProj = name;
        m_inif.setLastProject(name);
        emit projectsChanged();
    }
    TProjectIni projectIni(projectFolder(name));
    projectIni.setSerial(sSerial);
    projectIni.setGroupByRooms(bGroupByRooms);
    return true;
}

bool TWorkspace::DeleteProject(FunctionList& lv)
{
    const QString name = selectedProject();
    if (name.isEmpty())
        return false;
    const QString folder = m_projDir + name;
    // A linked project folder loses only its link: the linked files lie outside projects/.
    if (QFileInfo(folder).isSymLink())
        QFile::remove(folder);
    else
        QDir(folder).removeRecursively();
    if (QFileInfo(folder).isSymLink() || QFileInfo::exists(folder)) {
        m_prompts.error(message(3, msgNotDeleted));
        return false;
    }

    m_projects.removeAt(m_selected);
    if (m_projects.isEmpty()) {
        closeProject(lv);
        emit projectsChanged();
        return true;
    }
    m_selected = 0;
    emit projectsChanged();
    OpenSelectedProject(lv);
    return true;
}

// With no project left nothing may still point at the deleted one: a save would write its files
// into whatever sProjPath names.
void TWorkspace::closeProject(FunctionList& lv)
{
    m_selected = -1;
    lv.clear();
    m_openHab.slGroups.clear();
    m_openHab.sProjPath.clear();
    m_openHab.sProj.clear();
}
