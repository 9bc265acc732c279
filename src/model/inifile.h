#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// An INI file as the program's settings files use it: "[section]" headers followed by
// "key=value" lines. Keys and section names match without regard to letter case. Values are read
// with blanks at both ends removed, one enclosing pair of equal quotes (" or ') removed, and cut to
// at most 2047 characters. Every call reads the file anew, so writes by others are seen at once;
// a missing file reads as empty. Files are UTF-8.
class TIniFile
{
public:
    static constexpr int MaxValueLength = 2047;

    explicit TIniFile(QString fileName);

    const QString& fileName() const { return m_fileName; }

    QStringList sections() const;
    QStringList keys(const QString& section) const;
    // Keys with their values, in file order (first occurrence of a key only).
    QList<QPair<QString, QString>> values(const QString& section) const;
    QString value(const QString& section, const QString& key, const QString& defaultValue = {}) const;

    // Replaces the key's value, or adds the key (and the section, and the file), keeping every other
    // line as it was. The file is replaced atomically; on failure it stays as it was and the reason
    // is returned in errorString().
    bool setValue(const QString& section, const QString& key, const QString& value);
    // The same, with the value in quotes when the reading rules would change it, so that it reads
    // back as given (a blank at either end, or an enclosing pair of quotes of its own).
    bool setValueAsGiven(const QString& section, const QString& key, const QString& value);
    const QString& errorString() const { return m_error; }

    // The reading rules applied to a raw value text.
    static QString readValue(QString raw);

private:
    QString m_fileName;
    QString m_error;
};
