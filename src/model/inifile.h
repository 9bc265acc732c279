#pragma once

#include "initext.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// An INI file as the program's settings files use it, read and edited by the rules of IniText.
// Every call reads the file anew, so writes by others are seen at once; a missing file reads as
// empty.
class IniFile
{
public:
    static constexpr int MaxValueLength = IniText::MaxValueLength;

    explicit IniFile(QString fileName);

    const QString& fileName() const { return m_fileName; }

    QStringList sections() const { return read().sections(); }
    QStringList keys(const QString& section) const { return read().keys(section); }
    // Keys with their values, in file order (first occurrence of a key only).
    QList<QPair<QString, QString>> values(const QString& section) const { return read().values(section); }
    QString value(const QString& section, const QString& key, const QString& defaultValue = {}) const
    {
        return read().value(section, key, defaultValue);
    }

    // Replaces the key's value, or adds the key (and the section, and the file), keeping every other
    // line as it was. The file is replaced atomically; on failure it stays as it was and the reason
    // is returned in errorString().
    bool setValue(const QString& section, const QString& key, const QString& value);
    // The same, with the value in quotes when the reading rules would change it, so that it reads
    // back as given (a blank at either end, or an enclosing pair of quotes of its own).
    bool setValueAsGiven(const QString& section, const QString& key, const QString& value);
    const QString& errorString() const { return m_error; }

    // The reading rules applied to a raw value text.
    static QString readValue(QString raw) { return IniText::readValue(std::move(raw)); }

private:
    IniText read() const;

    QString m_fileName;
    QString m_error;
};
