#pragma once

#include <QtGlobal>

// A run over random projects: its seed is VARUNO_SEED when set, else a new one, and a test that
// fails names the seed and the project the run had got to, so that the failure can be repeated.
class RandomRun
{
public:
    RandomRun();
    ~RandomRun();
    RandomRun(const RandomRun&) = delete;
    RandomRun& operator=(const RandomRun&) = delete;

    quint32 seed() const { return m_seed; }

    int project = 0;

private:
    quint32 m_seed;
};
