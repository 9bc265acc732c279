#pragma once

#include "model/fileerror.h"
#include "model/inifile.h"

#include <QDir>

#include <QString>

#include <utility>

// project.ini in a project folder, section CFG: the gateway's serial number, the sitemap layout and
// the gateway's last known address. Opened for each access only; a missing file or key reads as the
// default. Values are written so that they read back as given.
class ProjectIni
{
public:
    static inline const QString FileName = QStringLiteral("project.ini");

    // projPath: the project folder, ending with "/".
    explicit ProjectIni(const QString& projPath);
    // The file by its own name, wherever it lies.
    static ProjectIni AtFile(const QString& fileName);

    // SERIAL, free text as typed. Default empty.
    QString Serial() const;
    bool setSerial(const QString& serial);
    // SITEMAP: "1" groups the sitemap by kind of switch, every other value by rooms and groups.
    // Default "1".
    bool GroupByRooms() const;
    bool setGroupByRooms(bool byRooms);
    // IP: the gateway's address on the local network. Default empty.
    QString IP() const;
    bool setIP(const QString& ip);

    const IniFile& inif() const { return m_inif; }
    // The file and the system's reason when the last write failed.
    FileError writeError() const
    {
        return {QDir::toNativeSeparators(m_inif.fileName()), m_inif.errorString()};
    }

private:
    explicit ProjectIni(IniFile inif) : m_inif(std::move(inif)) {}

    IniFile m_inif;
};
