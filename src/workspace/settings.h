#pragma once

#include "model/fileerror.h"
#include "model/inifile.h"

#include <QDir>

#include <QString>

// config/settings.ini, section CFG: the program-wide settings. A missing file or key reads as the
// default; every write goes to the file at once, so the choices survive an abnormal end.
class Settings
{
public:
    explicit Settings(const QString& fileName);

    // Base address of the gateway lookup service; empty: no lookup offered. Default empty.
    QString Cloudserver() const;
    // The scenario kinds are offered exactly when Scenario is "1". Default "0".
    bool Scenario() const;
    // Name of the project that was open last. Default empty.
    QString LastProject() const;
    bool setLastProject(const QString& name);
    // Display name of the chosen language (a section of language.ini). Default empty.
    QString language() const;
    bool setLanguage(const QString& name);
    // Group view is on exactly when Groupview is "1". Default "1".
    bool Groupview() const;
    bool setGroupview(bool on);

    const IniFile& inif() const { return m_inif; }
    // The file and the system's reason when the last write failed.
    FileError writeError() const
    {
        return {QDir::toNativeSeparators(m_inif.fileName()), m_inif.errorString()};
    }

private:
    QString read(const QString& key, const QString& defaultValue = {}) const;
    bool write(const QString& key, const QString& value);

    IniFile m_inif;
};
