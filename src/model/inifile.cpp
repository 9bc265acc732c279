#include "inifile.h"

#include "safefile.h"

#include <QFile>

IniFile::IniFile(QString fileName) : m_fileName(std::move(fileName)) {}

IniText IniFile::read() const
{
    QFile file(m_fileName);
    return IniText(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
}

bool IniFile::setValueAsGiven(const QString& section, const QString& key, const QString& value)
{
    const bool keepsShape = readValue(value) == value;
    return setValue(section, key, keepsShape ? value : QLatin1Char('"') + value + QLatin1Char('"'));
}

bool IniFile::setValue(const QString& section, const QString& key, const QString& value)
{
    IniText text = read();
    if (!text.setValue(section, key, value)) {
        m_error = QStringLiteral("Invalid INI entry");
        return false;
    }
    const std::optional<QString> failure = WriteWholeFile(m_fileName, text.toBytes());
    if (failure) {
        m_error = *failure;
        return false;
    }
    m_error.clear();
    return true;
}
