#pragma once

#include "model/fileerror.h"
#include "model/notice.h"
#include "projectlock.h"
#include "settings.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class FunctionList;
class Language;
class OpenHabGenerator;

// The folders around the program file, the program-wide settings and the set of projects: one
// folder per project below projects/, listed sorted without regard to case, at most one of them
// open. Opening, creating, renaming and deleting a project all go through here; the windows only
// show the list (projectsChanged), pass the user's choices on and show what each operation reports
// (its notices, in order).
class Workspace : public QObject
{
    Q_OBJECT

public:
    // Runs the workspace start: folders below programDir, settings.ini, the project list and the
    // project to open (opening it is OpenSelectedProject's job).
    Workspace(const QString& programDir, OpenHabGenerator& openHab, const Language& language,
              QObject* parent = nullptr);

    // Folders, ending with "/".
    const QString& projectsDir() const { return m_projDir; }
    const QString& sCfgDir() const { return m_cfgDir; }
    // Whether fileName would lie in projects/ (links followed): only the program's own saves may
    // write there, never an export the user aims at it.
    bool isInProjectsFolder(const QString& fileName) const;
    // Read once at start: Cloudserver and whether Scenario is "1".
    const QString& sCloudServer() const { return m_cloudServer; }
    bool scenarioEnabled() const { return m_scenarioEnabled; }
    // settings.ini, for LastProject, Language and Groupview.
    Settings& inif() { return m_inif; }
    const Settings& inif() const { return m_inif; }

    // The project list, sorted without regard to case, and its selected entry (-1: none).
    const QStringList& projects() const { return m_projects; }
    int projectCount() const { return int(m_projects.size()); }
    int selectedIndex() const { return m_selected; }
    // Name of the selected project, empty when none is selected.
    QString selectedProject() const;
    // Selects another entry, as the user does in the project list; the caller opens it.
    void selectProject(int index);

    // Locks the selected project, loads it into lv and records it as LastProject. A project that
    // another writer holds or a file that cannot be read is reported and is not ok: then no project
    // is open (lv is empty, nothing can be saved) while its name stays selected, so that it can be
    // opened again, edited or deleted; LastProject stays as it was.
    Outcome OpenSelectedProject(FunctionList& lv);
    // Whether the selected project opened; only then may its files be written from the list.
    bool isProjectOpen() const { return m_open; }
    // Creates the folder name from the templates, selects and opens it and writes its project.ini.
    // An empty name (cancelled dialog) does nothing; an existing project (in any letter case) or an
    // unusable name is reported and changes nothing. Ok when the project was created, even if it
    // then failed to open.
    Outcome CreateProject(FunctionList& lv, const QString& name, const QString& serial, bool groupByRooms);
    // Saves the open project's serial and sitemap layout, renaming it from oldName to newName when
    // the two differ in more than letter case; another project's name in any letter case is refused.
    // Not ok when the rename or the save failed.
    Outcome SaveProjectSettings(const QString& oldName, const QString& newName, const QString& serial,
                                bool groupByRooms);
    // Deletes the selected project's folder and opens the first remaining project; without one the
    // function list is emptied and nothing is selected. Not ok when the folder could not be removed
    // completely.
    Outcome DeleteProject(FunctionList& lv);

signals:
    // The project list or its selection changed.
    void projectsChanged();

private:
    QString projectFolder(const QString& name) const { return m_projDir + name + QLatin1Char('/'); }
    void discoverProjects();
    void sortProjects();
    void selectByName(const QString& name);
    // Position in the project list of the first name equal to name without regard to case, or -1.
    int indexOfAnyCase(const QString& name) const;
    bool projectExists(const QString& name) const;
    void closeProject(FunctionList& lv);
    void clearProject(FunctionList& lv);
    bool loadSelected(FunctionList& lv, Notices& notices);
    std::optional<FileError> copyTemplates(const QString& folder) const;
    bool lockSelected(Notices& notices);
    void relockSelected(Notices& notices);
    void reportRepair(Notices& notices) const;

    OpenHabGenerator& m_openHab;
    QString m_projDir;
    QString m_cfgDir;
    Settings m_inif;
    QString m_cloudServer;
    bool m_scenarioEnabled = false;
    QStringList m_projects;
    int m_selected = -1;
    // The window's lock of the selected project, and whether that project opened.
    ProjectLock m_lock;
    bool m_open = false;
};
