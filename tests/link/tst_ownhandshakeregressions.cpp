#include "../../fuzz/ownhandshakecheck.h"
#include "../../fuzz/replay.h"

// The fuzz inputs of the OpenWebNet handshake, replayed through the fuzz target's own check: its seed corpus
// and every input that once broke it.
class TstOwnHandshakeRegressions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replay_data() { fuzz::addReplayRows(QStringLiteral("ownhandshake")); }
    void replay()
    {
        QFETCH(QByteArray, input);
        const QString failure = fuzz::CheckOwnHandshake(input);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
};

QTEST_GUILESS_MAIN(TstOwnHandshakeRegressions)
#include "tst_ownhandshakeregressions.moc"
