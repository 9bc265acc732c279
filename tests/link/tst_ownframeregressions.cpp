#include "../../fuzz/ownframecheck.h"
#include "../../fuzz/replay.h"

// The fuzz inputs of the OpenWebNet frame reader, replayed through the fuzz target's own check: its seed
// corpus and every input that once broke it.
class TstOwnFrameRegressions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replay_data() { fuzz::addReplayRows(QStringLiteral("ownframe")); }
    void replay()
    {
        QFETCH(QByteArray, input);
        const QString failure = fuzz::CheckOwnFrame(input);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
};

QTEST_GUILESS_MAIN(TstOwnFrameRegressions)
#include "tst_ownframeregressions.moc"
