#pragma once

#include "model/functionentry.h"

#include <QList>
#include <QString>
#include <QStringList>

class Language;
class OpenHabGenerator;

// The faults of a project that would reach the gateway, each as one line of text in the loaded
// language: the same bus address twice within a kind, an alias used twice, groups that functions
// use but the group list lacks, individual scenes that switch nothing, names and labels that
// openHAB's grammars would reject, and whatever the program's own save and load would change or
// drop. The last is found by saving the project and loading it back in a temporary folder with the
// program's own code, so the check can never disagree with the loader. The command line's check
// and the transfer dialog's check before sending both run this one class.
//
// Every check takes time in proportion to the number of rows and groups (plus the save and load).
class ProjectCheck
{
public:
    // openHab: the generator holding the open project (folder, groups, settings, catalogue);
    // rows: its function list as loaded.
    ProjectCheck(const OpenHabGenerator& openHab, const QList<FunctionEntry>& rows);

    // Appends every problem found, check by check, in list order. False when the temporary save and
    // load could not be done; errorString() says why, and the checks before it have run.
    bool Run(QStringList& problems);
    // The traps of the bus that the project may hold on purpose (BusHints): worth a look, no fault.
    QStringList warnings() const;
    // The functions an export for openHAB 5 leaves out, each with the reason (OpenHab5Export): worth
    // a look before such an export, no fault of the project.
    QStringList openHab5LeftOut() const;
    const QString& errorString() const { return m_error; }

private:
    void DuplicateAddresses(QStringList& problems) const;
    void DuplicateAliases(QStringList& problems) const;
    void MissingGroups(QStringList& problems) const;
    void EmptyScenes(QStringList& problems) const;
    void RejectedByOpenHab(QStringList& problems) const;
    bool SaveAndLoad(QStringList& problems);
    void CompareRows(const QList<FunctionEntry>& loaded, QStringList& problems) const;
    void CompareItemsFile(const QStringList& regenerated, QStringList& problems) const;

    QString Named(const FunctionEntry& row) const;
    QString GroupNamed(const QString& name) const;

    const OpenHabGenerator& m_openHab;
    const Language& m_language;
    const QList<FunctionEntry>& m_rows;
    QStringList m_fieldCaptions;
    QStringList m_kindNames;
    QString m_error;
};
