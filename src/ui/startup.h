#pragma once

#include "bus/busaddress.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"
#include "program.h"

#include <QString>

#include <memory>

class Prompts;
class MainWindow;

// The program as it starts: the three long-lived objects, then the six windows, each created once
// and reachable through program(). The dialogs belong to the main window; everything lives until
// this object goes, the windows first.
class Startup
{
public:
    // programDir: the folder with config/ and projects/. The main window's creation runs the
    // workspace start and may already open a project.
    Startup(const QString& programDir, Prompts& prompts);
    ~Startup();

    Program& program() { return m_program; }
    MainWindow& mainWindow() { return *m_frmMain; }

private:
    Language m_language;
    OpenHabGenerator m_openHab;
    Program m_program;
    std::unique_ptr<MainWindow> m_frmMain;
};
