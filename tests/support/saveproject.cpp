#include "saveproject.h"

#include "openhab/openhabgenerator.h"
#include "programfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

QString projectParent()
{
    const QFileInfo shm(u"/dev/shm"_s);
    return shm.isDir() && shm.isWritable() ? shm.filePath() : QDir::tempPath();
}

} // namespace

TestSaveProject::TestSaveProject() : m_dir(projectParent() + u"/varuno-project-XXXXXX"_s) {}

bool TestSaveProject::open(OpenHabGenerator& openHab, const TestProgramFolder& folder) const
{
    if (!m_dir.isValid())
        return false;
    openHab.sProj = u"Haus"_s;
    openHab.sProjPath = m_dir.path() + u'/';
    for (const QString& name : {openHab.sCfgFile, openHab.sMQTTFile}) {
        if (!QFile::copy(folder.configDir() + name, openHab.sProjPath + name))
            return false;
    }
    return writeBytes(openHab.sProjPath + openHab.sUUIDFile, "uuid\r\n") &&
           writeBytes(openHab.sProjPath + openHab.sSecretFile, "secret\r\n");
}
