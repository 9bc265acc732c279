#include "projectini.h"

namespace {

const QString section = QStringLiteral("CFG");
const QString serialKey = QStringLiteral("SERIAL");
const QString sitemapKey = QStringLiteral("SITEMAP");
const QString ipKey = QStringLiteral("IP");

} // namespace

ProjectIni::ProjectIni(const QString& projPath) : m_inif(projPath + FileName) {}

ProjectIni ProjectIni::AtFile(const QString& fileName)
{
    return ProjectIni(IniFile(fileName));
}

QString ProjectIni::Serial() const
{
    return m_inif.value(section, serialKey);
}

bool ProjectIni::setSerial(const QString& serial)
{
    return m_inif.setValueAsGiven(section, serialKey, serial);
}

bool ProjectIni::GroupByRooms() const
{
    return m_inif.value(section, sitemapKey, QStringLiteral("1")) != QStringLiteral("1");
}

bool ProjectIni::setGroupByRooms(bool byRooms)
{
    return m_inif.setValueAsGiven(section, sitemapKey, byRooms ? QStringLiteral("2") : QStringLiteral("1"));
}

QString ProjectIni::IP() const
{
    return m_inif.value(section, ipKey);
}

bool ProjectIni::setIP(const QString& ip)
{
    return m_inif.setValueAsGiven(section, ipKey, ip);
}
