#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

class Language;
class OpenHabGenerator;

// A project's files by name, each as its bytes.
using ProjectFiles = QMap<QString, QByteArray>;

// A function that one version of the items file has and the other lacks or holds otherwise.
struct FunctionChange
{
    enum Kind
    {
        Added,
        Changed,
        Removed,
    };
    Kind kind;
    QString alias;
    QString label; // the newer one, or the removed function's
};

// How two versions of a project's files differ: what replaces before (what the gateway holds, the
// project) when after takes its place (what a send writes, a backup restored). The functions are
// compared by alias as the items file gives them; every file of either side is compared as text.
// A file that one side lacks counts as empty there.
class ProjectDiff
{
public:
    ProjectDiff(const OpenHabGenerator& openHab, ProjectFiles before, ProjectFiles after);

    // The added and changed functions in the order of the newer items file, then the removed ones.
    const QList<FunctionChange>& functions() const { return m_functions; }
    qsizetype count(FunctionChange::Kind kind) const;
    // The names of the files whose lines differ, in name order.
    QStringList changedFiles() const;

    // "3 neu, 1 geändert, 0 entfernt", and the changed files when there are any.
    QString summary(const Language& language) const;
    // The summary, then a line per function: "+", "~" or "-", the alias and the label.
    QString report(const Language& language) const;
    // Every changed file as diff -u prints it, the sides named beforeSide/NAME and afterSide/NAME.
    QByteArray unified(const QString& beforeSide, const QString& afterSide) const;

private:
    ProjectFiles m_before;
    ProjectFiles m_after;
    QList<FunctionChange> m_functions;
};
