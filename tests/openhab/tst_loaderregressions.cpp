#include "../../fuzz/loadercheck.h"
#include "../../fuzz/replay.h"

// The fuzz inputs of the items-file loader, replayed through the fuzz target's own check: its seed corpus and
// every input that once broke it.
class TstLoaderRegressions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replay_data() { fuzz::addReplayRows(QStringLiteral("loader")); }
    void replay()
    {
        QFETCH(QByteArray, input);
        const QString failure = fuzz::CheckLoader(input);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
};

QTEST_GUILESS_MAIN(TstLoaderRegressions)
#include "tst_loaderregressions.moc"
