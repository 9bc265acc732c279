#pragma once

#include "model/functionentry.h"

#include <QList>
#include <QString>
#include <QStringList>

class Tbticino;
class TopenHab;

// The faults of a project that would reach the gateway, each as one line of text: the same bus
// address twice within a kind, an alias used twice, groups that functions use but the group list
// lacks, individual scenes that switch nothing, and whatever the program's own save and load would
// change or drop. The last is found by saving the project and loading it back in a temporary folder
// with the program's own code, so the check can never disagree with the loader.
class TProjectCheck
{
public:
    // openHab: the generator holding the open project (folder, groups, settings); rows: its
    // function list as loaded. fieldCaptions and kindNames name the fields and kinds in the texts:
    // the captions of the label, address, voice, groups and key columns; the list group headers by
    // kind.
    TProjectCheck(const TopenHab& openHab, const Tbticino& bticino, const QList<FunctionEntry>& rows,
                  QStringList fieldCaptions, QStringList kindNames);

    // Appends every problem found, check by check, in list order. False when the temporary save and
    // load could not be done; errorString() says why, and the checks before it have run.
    bool Run(QStringList& problems);
    const QString& errorString() const { return m_error; }

private:
    void DuplicateAddresses(QStringList& problems) const;
    void DuplicateAliases(QStringList& problems) const;
    void MissingGroups(QStringList& problems) const;
    void EmptyScenes(QStringList& problems) const;
    bool SaveAndLoad(QStringList& problems);
    void CompareRows(const QList<FunctionEntry>& loaded, QStringList& problems) const;
    void CompareItemsFile(const QStringList& regenerated, QStringList& problems) const;

    QString Named(const FunctionEntry& row) const;

    const TopenHab& m_openHab;
    const Tbticino& m_bticino;
    const QList<FunctionEntry>& m_rows;
    QStringList m_fieldCaptions;
    QStringList m_kindNames;
    QString m_error;
};
