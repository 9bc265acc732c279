#pragma once

#include "bus/busaddress.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"
#include "program.h"

#include <QString>

#include <memory>

class Prompts;
class TfrmMain;

// The program as it starts: the three long-lived objects, then the six windows, each created once
// and reachable through program(). The dialogs belong to the main window; everything lives until
// this object goes, the windows first.
class TStartup
{
public:
    // programDir: the folder with config/ and projects/. The main window's creation runs the
    // workspace start and may already open a project.
    TStartup(const QString& programDir, Prompts& prompts);
    ~TStartup();

    TProgram& program() { return m_program; }
    TfrmMain& frmMain() { return *m_frmMain; }

private:
    Language m_language;
    OpenHabGenerator m_openHab;
    TProgram m_program;
    std::unique_ptr<TfrmMain> m_frmMain;
};
