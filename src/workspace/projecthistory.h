#pragma once

#include "model/functionentry.h"
#include "model/groupnames.h"

#include <QList>
#include <QString>
#include <QStringList>

// What undo and redo bring back: the function list and the groups of the open project.
struct ProjectState
{
    QList<FunctionEntry> rows;
    QStringList groups;
    GroupLabels groupLabels;

    bool operator==(const ProjectState& other) const = default;
};

// The states of the open project since it was opened, for undo and redo. The states share what
// they have in common (Qt's lists and strings are shared until changed), so a long history of
// small changes costs little.
class ProjectHistory
{
public:
    // Starts the history of project with the state it was opened in.
    void reset(const QString& project, const ProjectState& opened);
    const QString& project() const { return m_project; }
    const ProjectState& current() const { return m_states.at(m_at); }

    // Takes now as the newest state, unless nothing changed; what could be redone is forgotten.
    void record(const ProjectState& now);

    // -1 is one step back (undo), +1 one step forward (redo).
    bool canStep(int direction) const;
    // The state a step in direction leads to; only when canStep(direction).
    const ProjectState& neighbour(int direction) const { return m_states.at(m_at + direction); }
    // Takes the step, once the state it leads to is saved.
    void step(int direction);

private:
    QString m_project;
    QList<ProjectState> m_states{ProjectState()};
    qsizetype m_at = 0;
};
