#include "programstack.h"

#include "bus/busaddress.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"
#include "workspace/workspace.h"

TestProgramStack::TestProgramStack() = default;

TestProgramStack::~TestProgramStack()
{
    stop();
}

void TestProgramStack::start(const QString& language)
{
    stop();
    m_language = std::make_unique<Language>(m_folder.configDir());
    if (!language.isEmpty())
        m_language->LoadLanguage(language);
    m_openHab = std::make_unique<OpenHabGenerator>(*m_language, m_folder.configDir());
}

Workspace& TestProgramStack::startWorkspace()
{
    m_workspace.reset();
    m_workspace = std::make_unique<Workspace>(m_folder.path(), *m_openHab, *m_language);
    return *m_workspace;
}

void TestProgramStack::stop()
{
    m_workspace.reset();
    m_openHab.reset();
    m_language.reset();
}
