#pragma once

class Prompts;
class Language;
class OpenHabGenerator;
class Workspace;
class TfrmMain;
class TfrmSettings;
class TfrmItem;
class TfrmGroups;
class TfrmTransfer;
class TfrmNewProject;

// The program-wide references every window reaches: the three long-lived objects created before
// any window, the prompts the windows ask through, the workspace (owned by the main window, set
// while it is created) and the six windows, created once, in this order, and reused.
struct TProgram
{
    OpenHabGenerator& openHab;
    Language& language;
    Prompts& prompts;

    Workspace* workspace = nullptr;

    TfrmMain* frmMain = nullptr;
    TfrmSettings* frmSettings = nullptr;
    TfrmItem* frmItem = nullptr;
    TfrmGroups* frmGroups = nullptr;
    TfrmTransfer* frmTransfer = nullptr;
    TfrmNewProject* frmNewProject = nullptr;
};
