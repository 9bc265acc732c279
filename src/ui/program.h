#pragma once

class Prompts;
class Language;
class OpenHabGenerator;
class Workspace;
class MainWindow;
class SettingsDialog;
class FunctionEditor;
class GroupEditor;
class TransferDialog;
class NewProjectDialog;

// The program-wide references every window reaches: the three long-lived objects created before
// any window, the prompts the windows ask through, the workspace (owned by the main window, set
// while it is created) and the six windows, created once, in this order, and reused.
struct Program
{
    OpenHabGenerator& openHab;
    Language& language;
    Prompts& prompts;

    Workspace* workspace = nullptr;

    MainWindow* mainWindow = nullptr;
    SettingsDialog* settingsDialog = nullptr;
    FunctionEditor* functionEditor = nullptr;
    GroupEditor* groupEditor = nullptr;
    TransferDialog* transferDialog = nullptr;
    NewProjectDialog* newProjectDialog = nullptr;
};
