#include "../../fuzz/replay.h"
#include "../../fuzz/respcheck.h"

// The fuzz inputs of the store's reply reader, replayed through the fuzz target's own check: its seed corpus
// and every input that once broke it.
class TstRespRegressions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replay_data() { fuzz::addReplayRows(QStringLiteral("resp")); }
    void replay()
    {
        QFETCH(QByteArray, input);
        const QString failure = fuzz::CheckResp(input);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
};

QTEST_GUILESS_MAIN(TstRespRegressions)
#include "tst_respregressions.moc"
