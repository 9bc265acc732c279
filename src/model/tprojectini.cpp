#include "tprojectini.h"

namespace {

const QString section = QStringLiteral("CFG");
const QString serialKey = QStringLiteral("SERIAL");
const QString sitemapKey = QStringLiteral("SITEMAP");
const QString ipKey = QStringLiteral("IP");

} // namespace

TProjectIni::TProjectIni(const QString& projPath) : m_inif(projPath + FileName) {}

TProjectIni TProjectIni::AtFile(const QString& fileName)
{
    return TProjectIni(TIniFile(fileName));
}

QString TProjectIni::Serial() const
{
    return m_inif.value(section, serialKey);
}

bool TProjectIni::setSerial(const QString& serial)
{
    return m_inif.setValueAsGiven(section, serialKey, serial);
}

bool TProjectIni::GroupByRooms() const
{
    return m_inif.value(section, sitemapKey, QStringLiteral("1")) != QStringLiteral("1");
}

bool TProjectIni::setGroupByRooms(bool byRooms)
{
    return m_inif.setValueAsGiven(section, sitemapKey, byRooms ? QStringLiteral("2") : QStringLiteral("1"));
}

QString TProjectIni::IP() const
{
    return m_inif.value(section, ipKey);
}

bool TProjectIni::setIP(const QString& ip)
{
    return m_inif.setValueAsGiven(section, ipKey, ip);
}
