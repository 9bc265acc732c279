#include "projecthistory.h"

void ProjectHistory::reset(const QString& project, const ProjectState& opened)
{
    m_project = project;
    m_states = {opened};
    m_at = 0;
}

void ProjectHistory::record(const ProjectState& now)
{
    if (now == current())
        return;
    m_states.resize(m_at + 1);
    m_states.append(now);
    ++m_at;
}

bool ProjectHistory::canStep(int direction) const
{
    const qsizetype to = m_at + direction;
    return direction != 0 && to >= 0 && to < m_states.size();
}

void ProjectHistory::step(int direction)
{
    if (canStep(direction))
        m_at += direction;
}
