#include "../../fuzz/busaddresscheck.h"
#include "../../fuzz/replay.h"

// The fuzz inputs of the address rules, replayed through the fuzz target's own check: its seed corpus and
// every input that once broke it.
class TestBusAddressRegressions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replay_data() { fuzz::addReplayRows(QStringLiteral("busaddress")); }
    void replay()
    {
        QFETCH(QByteArray, input);
        const QString failure = fuzz::CheckBusAddress(input);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
};

QTEST_GUILESS_MAIN(TestBusAddressRegressions)
#include "tst_busaddressregressions.moc"
