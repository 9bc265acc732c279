#include "../../fuzz/gatewayanswercheck.h"
#include "../../fuzz/replay.h"

// The fuzz inputs of the gateway lookup's answer reader, replayed through the fuzz target's own check: its
// seed corpus and every input that once broke it.
class TstGatewayAnswerRegressions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replay_data() { fuzz::addReplayRows(QStringLiteral("gatewayanswer")); }
    void replay()
    {
        QFETCH(QByteArray, input);
        const QString failure = fuzz::CheckGatewayAnswer(input);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
};

QTEST_GUILESS_MAIN(TstGatewayAnswerRegressions)
#include "tst_gatewayanswerregressions.moc"
