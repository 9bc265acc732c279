#include "../../fuzz/replay.h"
#include "../../fuzz/tbticinocheck.h"

// The fuzz inputs of the address rules, replayed through the fuzz target's own check: its seed corpus and
// every input that once broke it.
class TstTbticinoRegressions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replay_data() { fuzz::addReplayRows(QStringLiteral("tbticino")); }
    void replay()
    {
        QFETCH(QByteArray, input);
        const QString failure = fuzz::CheckTbticino(input);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
};

QTEST_GUILESS_MAIN(TstTbticinoRegressions)
#include "tst_tbticinoregressions.moc"
