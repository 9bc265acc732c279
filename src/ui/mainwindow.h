#pragma once

#include "model/functionlist.h"
#include "model/notice.h"
#include "workspace/projecthistory.h"

#include <QKeySequence>
#include <QList>
#include <QString>
#include <QWidget>

#include <utility>

class FunctionListView;
class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class ToggleSwitch;
class BusMenu;
class Workspace;

struct Program;

// The main window: the project list and the open project's function list, and the start of every
// action. It owns the function list and the workspace (folders, settings.ini, projects); closing
// it ends the program.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    // Runs the creation steps: the workspace below programDir, the language captions and the
    // chosen language, the enabling of the project commands and the title. Sets program.workspace
    // and program.mainWindow.
    MainWindow(Program& program, const QString& programDir, QWidget* parent = nullptr);
    ~MainWindow() override;

    FunctionList& items() { return m_items; }
    Workspace& workspace() { return *m_workspace; }

    // Swaps rows i and j of lv completely and saves the project; nothing happens (and nothing is
    // saved) when j is not a row.
    void ExchangeItems(FunctionList& lv, int i, int j);
    // Enables the project commands exactly when there is a project to work on.
    void UpdateProjectButtons();
    // "Demo – Varuno Builder": the title names the open project.
    void updateTitle();
    // Opens the project selected in the project list.
    void OpenSelectedProject();
    // Shows what an operation of the workspace reported, and then, once for each opening, why the
    // project now open may not be changed: the operation's own reports happened first.
    void showWorkspaceNotices(const Notices& notices);
    // To be run before anything changes the function list and saves it: false (after an error) while
    // the project's items file must not be rewritten. Backs up the lines a save would leave out.
    bool PrepareItemsSave();
    // To be run after anything may have changed and saved the function list or the groups: the
    // change becomes a step that undo takes back.
    void recordChange();

    // "0.0.0" when the build carries no version.
    static QString GetVersionString();

    // The window's controls, by their design names, for the dialogs' and the tests' use.
    QComboBox* cbProj = nullptr;
    QPushButton* btnNewProject = nullptr;
    QPushButton* btnEditProject = nullptr;
    QPushButton* btnSettings = nullptr;
    QPushButton* btnReceive = nullptr;
    QPushButton* btnSend = nullptr;
    QPushButton* btnExit = nullptr;
    ToggleSwitch* tsLanguage = nullptr;
    QLabel* lblVersion = nullptr;
    FunctionListView* lvItems = nullptr;
    QPushButton* btnAddItem = nullptr;
    QPushButton* btnDelItems = nullptr;
    QMenu* pmItems = nullptr;
    QAction* pmGroupview = nullptr;
    QAction* pmSort = nullptr;
    QAction* pmMoveup = nullptr;
    QAction* pmMoveDown = nullptr;
    QAction* csvExport = nullptr;
    QAction* csvImport = nullptr;
    QAction* openHab5Export = nullptr;
    QAction* pmRestore = nullptr;
    QAction* undoAction = nullptr;
    QAction* redoAction = nullptr;
    // "Funktion testen" and "Busgeräte suchen".
    BusMenu* busMenu = nullptr;
    // The CSV save dialog's design values; its title is translated with the window.
    QObject* SaveTextFileDialog = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildSidePanel();
    void addShortcuts();
    void translate();
    void showShortcutsInTooltips();
    QWidget* buildListArea();
    void buildPopupMenu();
    QPushButton* addSideButton(QWidget* panel, int tag, const QString& caption, const QString& picture);

    void FormShow();
    void languageChanged();
    QString languageName() const;
    void projectsChanged();
    void applyGroupView(bool on);
    bool projectOpen() const;
    // The open project's items file may be rewritten from the list.
    bool projectWritable() const;
    void announceReadOnly();

    void newProject();
    void editProject();
    void receive();
    void editItem(int row);
    void deleteItems();
    // The Delete key with nothing marked: the selected function, after the same question.
    void deleteSelected();
    void switchGroupView();
    void sortItems();
    void moveSelected(int offset);
    void exportCsv();
    void importCsv();
    void exportOpenHab5();
    void restoreBackup();
    void SaveItems();
    ProjectState currentState() const;
    // Undo (-1) or redo (+1): the state the step leads to is saved like any change, and only a
    // saved state counts as the step taken.
    void stepHistory(int direction);
    void applyState(const ProjectState& state);
    void updateHistoryCommands();

    Program& m_program;
    FunctionList m_items;
    ProjectHistory m_history;
    Workspace* m_workspace = nullptr;
    bool m_shown = false;
    QList<std::pair<QPushButton*, QKeySequence>> m_shortcuts;
    // The last reason shown why the open project is only shown, so that it is said once per opening.
    QString m_announcedReadOnly;
};
