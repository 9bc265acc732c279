#pragma once

#include "programfolder.h"

#include <QString>

#include <memory>

class Language;
class OpenHabGenerator;
class Workspace;

// The program's long-lived objects over a throw-away program folder, built as the program builds
// them at its start: catalogue, generator and, when asked for, the workspace. start()
// builds them anew over the same folder, as a restart of the program would.
class TestProgramStack
{
public:
    TestProgramStack();
    ~TestProgramStack();
    TestProgramStack(const TestProgramStack&) = delete;
    TestProgramStack& operator=(const TestProgramStack&) = delete;

    TestProgramFolder& folder() { return m_folder; }
    const TestProgramFolder& folder() const { return m_folder; }

    // The catalogue loads language unless it is empty; any workspace from before goes.
    void start(const QString& language = QStringLiteral("Deutsch"));
    // The workspace over the folder; replaces one from before.
    Workspace& startWorkspace();
    // Destroys the objects, the workspace first; the folder stays.
    void stop();

    Language& language() const { return *m_language; }
    OpenHabGenerator& openHab() const { return *m_openHab; }
    Workspace& workspace() const { return *m_workspace; }

private:
    TestProgramFolder m_folder;
    std::unique_ptr<Language> m_language;
    std::unique_ptr<OpenHabGenerator> m_openHab;
    std::unique_ptr<Workspace> m_workspace;
};
