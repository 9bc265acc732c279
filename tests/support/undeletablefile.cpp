#include "undeletablefile.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <unistd.h>

UndeletableFile::UndeletableFile(const QString& fileName)
    : m_file(fileName), m_folder(QFileInfo(fileName).absolutePath())
{
    if (geteuid() != 0)
        m_active = QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::ExeOwner);
    else
        m_active = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), m_file}) == 0;
}

UndeletableFile::~UndeletableFile()
{
    if (!m_active)
        return;
    if (geteuid() != 0)
        QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    else
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_file});
}
