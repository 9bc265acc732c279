#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QTemporaryDir>

// A throw-away program folder: config/ holding a copy of the installation data and an empty
// projects/. Paths end with "/".
class TestProgramFolder
{
public:
    TestProgramFolder();

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path() + QLatin1Char('/'); }
    QString configDir() const { return path() + QStringLiteral("config/"); }
    QString projectsDir() const { return path() + QStringLiteral("projects/"); }

    // Copies a project folder (for example one of the demo projects) into projects/.
    bool addProject(const QString& sourceFolder, const QString& name);

private:
    QTemporaryDir m_dir;
};

// Every path below folder (hidden ones included), relative to it, with each file's content: shows
// that an operation changed nothing on disk.
QMap<QString, QByteArray> snapshot(const QString& folder);
// Reads a whole file as bytes; empty when it cannot be read.
QByteArray readBytes(const QString& fileName);
// Writes bytes to a file, creating its folder; false on failure.
bool writeBytes(const QString& fileName, const QByteArray& bytes);
