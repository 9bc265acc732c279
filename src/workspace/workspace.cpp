#include "workspace.h"

#include "model/fileerror.h"
#include "model/functionlist.h"
#include "model/language.h"
#include "model/projectini.h"
#include "model/safefile.h"
#include "openhab/openhabgenerator.h"
#include "projectname.h"

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

} // namespace

Workspace::Workspace(const QString& programDir, OpenHabGenerator& openHab, const Language& language,
                     QObject* parent)
    : QObject(parent), m_openHab(openHab), m_projDir(withSlash(programDir) + QStringLiteral("projects/")),
      m_cfgDir(withSlash(programDir) + QStringLiteral("config/")),
      m_inif(m_cfgDir + QStringLiteral("settings.ini")), m_cloudServer(m_inif.Cloudserver()),
      m_scenarioEnabled(m_inif.Scenario()), m_lock(language)
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

void Workspace::discoverProjects()
{
    // Without QDir::Hidden and QDir::System, hidden and system entries stay out, as do files.
    m_projects = QDir(m_projDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::NoSort);
    sortProjects();
}

void Workspace::sortProjects()
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // Names equal but for letter case (possible on case-sensitive file systems) keep a fixed order.
    std::sort(m_projects.begin(), m_projects.end(), [&](const QString& a, const QString& b) {
        const int order = collator.compare(a, b);
        return order != 0 ? order < 0 : a < b;
    });
}

int Workspace::indexOfAnyCase(const QString& name) const
{
    const auto match = std::find_if(m_projects.cbegin(), m_projects.cend(), [&](const QString& project) {
        return project.compare(name, Qt::CaseInsensitive) == 0;
    });
    return match == m_projects.cend() ? -1 : int(match - m_projects.cbegin());
}

// Two projects apart only in letter case are easily mistaken for one another (and sent to the wrong
// gateway), and cannot both exist on every file system: a name taken in any letter case is taken.
// The folder is asked too, since the list is only read at start.
bool Workspace::isInProjectsFolder(const QString& fileName) const
{
    // The file itself may not exist yet; its folder must, for the file to be written at all.
    const QString folder = QFileInfo(QFileInfo(fileName).absolutePath()).canonicalFilePath();
    const QString projects = QFileInfo(m_projDir).canonicalFilePath();
    return !folder.isEmpty() && !projects.isEmpty() &&
           (folder == projects || folder.startsWith(projects + u'/'));
}

bool Workspace::projectExists(const QString& name) const
{
    if (indexOfAnyCase(name) >= 0 || QFileInfo(m_projDir + name).isDir())
        return true;
    const QStringList folders = QDir(m_projDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    return folders.contains(name, Qt::CaseInsensitive);
}

void Workspace::selectByName(const QString& name)
{
    m_selected = int(m_projects.indexOf(name));
}

QString Workspace::selectedProject() const
{
    return m_selected < 0 ? QString() : m_projects.at(m_selected);
}

void Workspace::selectProject(int index)
{
    if (index < 0 || index >= projectCount() || index == m_selected)
        return;
    m_selected = index;
    emit projectsChanged();
}

Outcome Workspace::OpenSelectedProject(FunctionList& lv)
{
    const QString name = selectedProject();
    if (name.isEmpty())
        return {false};
    // Until this project has opened, none is open: the rows of the one open before must neither
    // show under this name nor be saved into its folder.
    clearProject(lv);
    Outcome outcome;
    m_open = lockSelected(outcome.notices) && loadSelected(lv, outcome.notices);
    // The window enables its project commands by whether the project opened.
    emit projectsChanged();
    if (m_open && !m_inif.setLastProject(name))
        outcome.notices << Notice::error(m_inif.writeError().problem());
    outcome.ok = m_open;
    return outcome;
}

bool Workspace::loadSelected(FunctionList& lv, Notices& notices)
{
    m_openHab.sProjPath = projectFolder(selectedProject());
    m_openHab.sProj = selectedProject();
    try {
        for (const FileError& error : m_openHab.LoadFiles(lv))
            notices << Notice::error(error.problem());
    } catch (const FileReadError& e) {
        notices << Notice::error(e.problem());
        clearProject(lv);
        // Nothing is left in the folder of a project that did not open; a rename or deletion
        // takes the lock for itself.
        m_lock.unlock();
        return false;
    }
    return true;
}

Outcome Workspace::CreateProject(FunctionList& lv, const QString& name, const QString& serial,
                                 bool groupByRooms)
{
    if (name.isEmpty())
        return {false};
    Outcome outcome;
    // "." and ".." exist as folders, so the name check comes before the existence check.
    if (!IsSafeProjectName(name))
        return outcome.fail(Problem{Msg::InvalidProjectName});
    if (projectExists(name))
        return outcome.fail(Problem{Msg::ProjectExists});
    if (!QDir(m_projDir).mkdir(name))
        return outcome.fail(Problem{Msg::InvalidProjectName});

    const QString folder = projectFolder(name);
    if (const auto failure = copyTemplates(folder)) {
        QDir(folder).removeRecursively();
        return outcome.fail(failure->problem());
    }

    m_projects << name;
    sortProjects();
    selectByName(name);
    emit projectsChanged();

    outcome.notices << OpenSelectedProject(lv).notices;
    // Written even when the opening failed: the project exists and keeps what the user typed.
    ProjectIni projectIni(folder);
    if ((!serial.isEmpty() && !projectIni.setSerial(serial)) || !projectIni.setGroupByRooms(groupByRooms))
        outcome.notices << Notice::error(projectIni.writeError().problem());
    return outcome;
}

// A template that is missing is left out: opening the project then names the missing file. A copy
// that cannot be written (a full disk) ends the creation.
std::optional<FileError> Workspace::copyTemplates(const QString& folder) const
{
    for (const QString& file : {m_openHab.sItemsFile, m_openHab.sCfgFile, m_openHab.sUUIDFile,
                                m_openHab.sSecretFile, m_openHab.sMQTTFile}) {
        QFile source(m_cfgDir + file);
        if (!source.open(QIODevice::ReadOnly))
            continue;
        if (const std::optional<QString> failure = WriteWholeFile(folder + file, source.readAll()))
            return FileError{QDir::toNativeSeparators(folder + file), *failure};
    }
    return std::nullopt;
}

Outcome Workspace::SaveProjectSettings(const QString& oldName, const QString& newName, const QString& serial,
                                       bool groupByRooms)
{
    Outcome outcome;
    if (!m_projects.contains(oldName) || !lockSelected(outcome.notices)) {
        outcome.ok = false;
        return outcome;
    }
    QString name = oldName;
    // A change of letter case alone renames nothing.
    if (oldName.compare(newName, Qt::CaseInsensitive) != 0) {
        if (!IsSafeProjectName(newName))
            return outcome.fail(Problem{Msg::InvalidProjectName});
        if (projectExists(newName))
            return outcome.fail(Problem{Msg::ProjectExists});
        // The lock file moves with the folder, so the lock is given up for the move and taken
        // again in the folder's new place.
        m_lock.unlock();
        if (!QDir(m_projDir).rename(oldName, newName)) {
            outcome.fail(Problem{Msg::InvalidProjectName});
            relockSelected(outcome.notices);
            return outcome;
        }
        name = newName;
        m_projects.replace(m_projects.indexOf(oldName), name);
        sortProjects();
        selectByName(name);
        if (m_open) {
            m_openHab.sProjPath = projectFolder(name);
            m_openHab.sProj = name;
        }
        relockSelected(outcome.notices);
        if (!m_inif.setLastProject(name))
            outcome.notices << Notice::error(m_inif.writeError().problem());
        emit projectsChanged();
    }
    ProjectIni projectIni(projectFolder(name));
    if (!projectIni.setSerial(serial) || !projectIni.setGroupByRooms(groupByRooms))
        outcome.fail(projectIni.writeError().problem());
    return outcome;
}

// The selected project is written only under its lock: the window holds it from the opening on,
// and takes it for the change when it could not then. The lock's texts name its holder, so they
// come worded.
bool Workspace::lockSelected(Notices& notices)
{
    if (m_lock.isLocked() && m_lock.folder() == projectFolder(selectedProject()))
        return true;
    if (m_lock.lock(projectFolder(selectedProject()))) {
        reportRepair(notices);
        return true;
    }
    notices << Notice::error(m_lock.errorString());
    return false;
}

// What taking the lock repaired of an interrupted change is told, in one line.
void Workspace::reportRepair(Notices& notices) const
{
    if (!m_lock.report().isEmpty())
        notices << Notice::information(m_lock.report());
}

// Takes the selected project's lock again after its folder moved or outlived a deletion; the
// project counts as not open when another writer took it meanwhile.
void Workspace::relockSelected(Notices& notices)
{
    if (m_lock.lock(projectFolder(selectedProject()))) {
        reportRepair(notices);
    } else if (m_open) {
        notices << Notice::error(m_lock.errorString());
        m_open = false;
        m_openHab.sProjPath.clear();
    }
}

Outcome Workspace::DeleteProject(FunctionList& lv)
{
    Outcome outcome;
    if (selectedProject().isEmpty() || !lockSelected(outcome.notices)) {
        outcome.ok = false;
        return outcome;
    }
    const QString name = selectedProject();
    const QString folder = m_projDir + name;
    // The lock file goes with the folder; should the folder survive, the lock is taken again.
    m_lock.unlock();
    // A linked project folder loses only its link: the linked files lie outside projects/.
    if (QFileInfo(folder).isSymLink())
        QFile::remove(folder);
    else
        QDir(folder).removeRecursively();
    if (QFileInfo(folder).isSymLink() || QFileInfo::exists(folder)) {
        relockSelected(outcome.notices);
        return outcome.fail(Problem{Msg::ProjectNotDeleted});
    }

    m_projects.removeAt(m_selected);
    if (m_projects.isEmpty()) {
        closeProject(lv);
        emit projectsChanged();
        return outcome;
    }
    m_selected = 0;
    emit projectsChanged();
    outcome.notices << OpenSelectedProject(lv).notices;
    return outcome;
}

// With no project left nothing may still point at the deleted one: a save would write its files
// into whatever sProjPath names.
void Workspace::closeProject(FunctionList& lv)
{
    m_selected = -1;
    m_lock.unlock();
    clearProject(lv);
}

// No project is open, and none of the last one's rows, groups or folder is left to be saved.
void Workspace::clearProject(FunctionList& lv)
{
    m_open = false;
    lv.clear();
    m_openHab.slGroups.clear();
    m_openHab.groupLabels.clear();
    lv.setGroupLabels({});
    m_openHab.sProjPath.clear();
    m_openHab.sProj.clear();
}
