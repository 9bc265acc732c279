#include "../../fuzz/csvcheck.h"
#include "../../fuzz/replay.h"

// The fuzz inputs of the CSV reader, replayed through the fuzz target's own check: its seed corpus and
// every input that once broke it.
class TstCsvRegressions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replay_data() { fuzz::addReplayRows(QStringLiteral("csv")); }
    void replay()
    {
        QFETCH(QByteArray, input);
        const QString failure = fuzz::CheckCsv(input);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
};

QTEST_GUILESS_MAIN(TstCsvRegressions)
#include "tst_csvregressions.moc"
