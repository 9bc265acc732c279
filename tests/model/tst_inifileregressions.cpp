#include "../../fuzz/inifilecheck.h"
#include "../../fuzz/replay.h"

// The fuzz inputs of the INI reader, replayed through the fuzz target's own check: its seed corpus and
// every input that once broke it.
class TstIniFileRegressions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replay_data() { fuzz::addReplayRows(QStringLiteral("inifile")); }
    void replay()
    {
        QFETCH(QByteArray, input);
        const QString failure = fuzz::CheckIniFile(input);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
};

QTEST_GUILESS_MAIN(TstIniFileRegressions)
#include "tst_inifileregressions.moc"
