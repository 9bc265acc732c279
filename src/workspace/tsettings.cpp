#include "tsettings.h"

namespace {

const QString section = QStringLiteral("CFG");
const QString one = QStringLiteral("1");

} // namespace

TSettings::TSettings(const QString& fileName) : m_inif(fileName) {}

QString TSettings::read(const QString& key, const QString& defaultValue) const
{
    return m_inif.value(section, key, defaultValue);
}

bool TSettings::write(const QString& key, const QString& value)
{
    // A project name with a blank at either end reads back as it was written.
    return m_inif.setValueAsGiven(section, key, value);
}

QString TSettings::Cloudserver() const
{
    return read(QStringLiteral("Cloudserver"));
}

bool TSettings::Scenario() const
{
    return read(QStringLiteral("Scenario"), QStringLiteral("0")) == one;
}

QString TSettings::LastProject() const
{
    return read(QStringLiteral("LastProject"));
}

bool TSettings::setLastProject(const QString& name)
{
    return write(QStringLiteral("LastProject"), name);
}

QString TSettings::language() const
{
    return read(QStringLiteral("Language"));
}

bool TSettings::setLanguage(const QString& name)
{
    return write(QStringLiteral("Language"), name);
}

bool TSettings::Groupview() const
{
    return read(QStringLiteral("Groupview"), one) == one;
}

bool TSettings::setGroupview(bool on)
{
    return write(QStringLiteral("Groupview"), on ? one : QStringLiteral("0"));
}
