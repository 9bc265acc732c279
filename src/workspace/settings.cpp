#include "settings.h"

namespace {

const QString section = QStringLiteral("CFG");
const QString one = QStringLiteral("1");

} // namespace

Settings::Settings(const QString& fileName) : m_inif(fileName) {}

QString Settings::read(const QString& key, const QString& defaultValue) const
{
    return m_inif.value(section, key, defaultValue);
}

bool Settings::write(const QString& key, const QString& value)
{
    // A project name with a blank at either end reads back as it was written.
    return m_inif.setValueAsGiven(section, key, value);
}

QString Settings::Cloudserver() const
{
    return read(QStringLiteral("Cloudserver"));
}

bool Settings::Scenario() const
{
    return read(QStringLiteral("Scenario"), QStringLiteral("0")) == one;
}

QString Settings::LastProject() const
{
    return read(QStringLiteral("LastProject"));
}

bool Settings::setLastProject(const QString& name)
{
    return write(QStringLiteral("LastProject"), name);
}

QString Settings::language() const
{
    return read(QStringLiteral("Language"));
}

bool Settings::setLanguage(const QString& name)
{
    return write(QStringLiteral("Language"), name);
}

bool Settings::Groupview() const
{
    return read(QStringLiteral("Groupview"), one) == one;
}

bool Settings::setGroupview(bool on)
{
    return write(QStringLiteral("Groupview"), on ? one : QStringLiteral("0"));
}
