#include "randomrun.h"

#include <QRandomGenerator>
#include <QTest>

RandomRun::RandomRun()
    : m_seed(qEnvironmentVariableIsSet("VARUNO_SEED") ? qgetenv("VARUNO_SEED").toUInt()
                                                      : QRandomGenerator::global()->generate())
{
}

RandomRun::~RandomRun()
{
    if (QTest::currentTestFailed())
        qWarning("seed %u, project %d (VARUNO_SEED=%u repeats the run)", m_seed, project, m_seed);
}
