#include "link/redisclient.h"
#include "redisserver.h"
#include "scriptedresppeer.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <functional>
#include <memory>

namespace {

const QString Loopback = QStringLiteral("127.0.0.1");
// Short enough to keep the tests fast, long enough for a loaded machine to answer on loopback.
constexpr int ShortReplyTimeout = 300;

} // namespace

Q_DECLARE_METATYPE(ScriptedRespPeer::Ending)
Q_DECLARE_METATYPE(RedisNullable)

namespace {

// The failure an operation raised: "connection: <message>" for a broken connection, the plain
// message for a refused or malformed reply, and "none" when it returned normally.
QString failureOf(const std::function<void()>& operation)
{
    try {
        operation();
    } catch (const RedisConnectionError& e) {
        return QStringLiteral("connection: ") + e.message();
    } catch (const RedisException& e) {
        return e.message();
    }
    return QStringLiteral("none");
}

QByteArray allByteValues()
{
    QByteArray bytes;
    for (int value = 0; value < 256; ++value)
        bytes.append(char(value));
    return bytes;
}

} // namespace

class TestRedisClient : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(m_redis.start(), qPrintable(m_redis.errorString())); }
    void init() { QVERIFY(m_redis.flushAll()); }

    void getAbsentAndEmptyValues()
    {
        m_redis.cli({QStringLiteral("SET"), QStringLiteral("empty"), QString()});
        RedisClient client(Loopback, m_redis.port());
        client.Connect();

        const RedisNullable absent = client.GET("missing");
        QVERIFY(!absent.has_value());
        QCOMPARE(failureOf([&] { RedisValue(absent); }), QStringLiteral("Value is null"));

        const RedisNullable empty = client.GET("empty");
        QVERIFY(empty.has_value());
        QCOMPARE(RedisValue(empty), QByteArray());
    }

    void valuesTravelByteForByte_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("plain") << QByteArray("docker restart openhab");
        QTest::newRow("CR LF inside and at the end") << QByteArray("Group gLight\r\n\r\nSwitch x\r\n");
        QTest::newRow("bare LF and CR") << QByteArray("a\nb\rc");
        QTest::newRow("UTF-8 umlauts") << QStringLiteral("Küche Äß").toUtf8();
        QTest::newRow("every byte value") << allByteValues();
        QTest::newRow("a file of 2 MiB") << QByteArray("Switch SWITCH_1 \"Licht\"\r\n").repeated(80'000);
    }
    void valuesTravelByteForByte()
    {
        QFETCH(QByteArray, value);
        RedisClient client(Loopback, m_redis.port());
        client.Connect();

        QVERIFY(client.SET("key", value));
        QCOMPARE(m_redis.cli({QStringLiteral("GET"), QStringLiteral("key")}), value);
        QCOMPARE(client.GET("key"), RedisNullable(value));

        QCOMPARE(client.HSET("/etc/file", "text", value), 1);
        QByteArray read;
        QVERIFY(client.HGET("/etc/file", "text", read));
        QCOMPARE(read, value);
        QCOMPARE(m_redis.cli({QStringLiteral("HGET"), QStringLiteral("/etc/file"), QStringLiteral("text")}),
                 value);
    }

    void valuesWrittenByOthersAreReadExactly()
    {
        const QByteArray value("line 1\r\nZeile 2 \xC3\xA4\r\n");
        m_redis.cli({QStringLiteral("HSET"), QStringLiteral("h"), QStringLiteral("text")}, value);
        RedisClient client(Loopback, m_redis.port());
        client.Connect();
        QByteArray read;
        QVERIFY(client.HGET("h", "text", read));
        QCOMPARE(read, value);
    }

    void hashFields()
    {
        RedisClient client(Loopback, m_redis.port());
        client.Connect();
        QCOMPARE(client.HSET("bt", "ip", "192.168.1.35"), 1);
        QCOMPARE(client.HSET("bt", "ip", "192.168.1.36"), 0);
        QCOMPARE(m_redis.cli({QStringLiteral("HGET"), QStringLiteral("bt"), QStringLiteral("ip")}),
                 QByteArray("192.168.1.36"));

        QByteArray value = "left over";
        QVERIFY(!client.HGET("bt", "port", value));
        QCOMPARE(value, QByteArray());
        value = "left over";
        QVERIFY(!client.HGET("no hash", "text", value));
        QCOMPARE(value, QByteArray());
    }

    void listsAndDeletion()
    {
        m_redis.cli({QStringLiteral("RPUSH"), QStringLiteral("cmds"), QStringLiteral("old 1"),
                     QStringLiteral("old 2")});
        RedisClient client(Loopback, m_redis.port());
        client.Connect();

        QCOMPARE(client.DEL({"cmds", "never set"}), 1);
        QCOMPARE(client.DEL({"cmds"}), 0);
        QCOMPARE(client.RPUSH("cmds", {"docker restart openhab"}), 1);
        QCOMPARE(client.LPUSH("cmds", {"#1"}), 2);
        QCOMPARE(m_redis.cli({QStringLiteral("LRANGE"), QStringLiteral("cmds"), QStringLiteral("0"),
                              QStringLiteral("-1")}),
                 QByteArray("#1\ndocker restart openhab"));
        QCOMPARE(client.RPUSH("cmds", {"a", "b", "c"}), 5);
    }

    // A transaction applies all its commands or, when the store refuses one while queueing or a
    // watched key changes meanwhile, none; the client says why.
    void transactions_data()
    {
        QTest::addColumn<QList<QByteArray>>("second"); // the second command; the first sets hash h
        QTest::addColumn<bool>("otherClientWrites");   // to the watched key w before EXEC
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QByteArray>("hashAfter");
        QTest::newRow("all applied") << QList<QByteArray>{"RPUSH", "w", "x"} << false
                                     << QStringLiteral("none") << QByteArray("f\nnew");
        QTest::newRow("refused while queueing")
            << QList<QByteArray>{"HSET", "h"} << false
            << QStringLiteral("ERR wrong number of arguments for 'hset' command") << QByteArray("f\nold");
        QTest::newRow("watched key changed")
            << QList<QByteArray>{"RPUSH", "w", "x"} << true
            << QStringLiteral("The store dropped the transaction: its keys changed meanwhile")
            << QByteArray("f\nold");
    }

    void transactions()
    {
        QFETCH(QList<QByteArray>, second);
        QFETCH(bool, otherClientWrites);
        QFETCH(QString, failure);
        QFETCH(QByteArray, hashAfter);
        m_redis.cli(
            {QStringLiteral("HSET"), QStringLiteral("h"), QStringLiteral("f"), QStringLiteral("old")});
        RedisClient client(Loopback, m_redis.port());
        client.Connect();
        client.WATCH({"w"});
        QCOMPARE(client.TYPE("w"), QByteArray("none"));
        QCOMPARE(client.TYPE("h"), QByteArray("hash"));
        if (otherClientWrites)
            m_redis.cli({QStringLiteral("SET"), QStringLiteral("w"), QStringLiteral("1")});

        QCOMPARE(failureOf([&] { client.Transaction({{"HSET", "h", "f", "new"}, second}); }), failure);

        QCOMPARE(m_redis.cli({QStringLiteral("HGETALL"), QStringLiteral("h")}), hashAfter);
    }

    void errorRepliesCarryTheStoresText()
    {
        m_redis.cli({QStringLiteral("RPUSH"), QStringLiteral("list"), QStringLiteral("a")});
        RedisClient client(Loopback, m_redis.port());
        client.Connect();
        const QString wrongType =
            QStringLiteral("WRONGTYPE Operation against a key holding the wrong kind of value");

        QCOMPARE(failureOf([&] { client.HSET("list", "text", "x"); }), wrongType);
        QCOMPARE(failureOf([&] { client.GET("list"); }), wrongType);
        QCOMPARE(failureOf([&] { client.DEL({}); }),
                 QStringLiteral("ERR wrong number of arguments for 'del' command"));
        // Each error reply was read completely: the connection still answers in step.
        QCOMPARE(client.GET("missing"), RedisNullable());
    }

    void requestsAreFramedAsArraysOfBulkStrings()
    {
        ScriptedRespPeer peer({":1\r\n", "$-1\r\n", ":2\r\n", ":1\r\n"});
        {
            RedisClient client(Loopback, peer.port());
            client.Connect();
            client.HSET("bt", "set", "1");
            client.GET("");
            client.DEL({"a", "bc"});
            client.RPUSH("k", {"x\r\ny"});
        }
        const QList<QByteArray> expected{
            "*4\r\n$4\r\nHSET\r\n$2\r\nbt\r\n$3\r\nset\r\n$1\r\n1\r\n",
            "*2\r\n$3\r\nGET\r\n$0\r\n\r\n",
            "*3\r\n$3\r\nDEL\r\n$1\r\na\r\n$2\r\nbc\r\n",
            "*3\r\n$5\r\nRPUSH\r\n$1\r\nk\r\n$4\r\nx\r\ny\r\n",
        };
        QCOMPARE(peer.rawRequests(), expected);
    }

    void valueReplies_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<RedisNullable>("value");
        QTest::newRow("simple string") << QByteArray("+OK\r\n") << RedisNullable("OK");
        QTest::newRow("integer") << QByteArray(":42\r\n") << RedisNullable("42");
        QTest::newRow("nil bulk") << QByteArray("$-1\r\n") << RedisNullable();
        QTest::newRow("nil array") << QByteArray("*-1\r\n") << RedisNullable();
        QTest::newRow("empty bulk") << QByteArray("$0\r\n\r\n") << RedisNullable("");
        QTest::newRow("line ended by LF alone") << QByteArray("+OK\n") << RedisNullable("OK");
        QTest::newRow("CR inside a line") << QByteArray("+a\rb\r\n") << RedisNullable("a\rb");
        QTest::newRow("longest line") << QByteArray("+" + QByteArray(16'383'999, 'a') + "\r\n")
                                      << RedisNullable(QByteArray(16'383'999, 'a'));
    }
    void valueReplies()
    {
        QFETCH(QByteArray, reply);
        QFETCH(RedisNullable, value);
        ScriptedRespPeer peer({reply});
        RedisClient client(Loopback, peer.port());
        client.Connect();
        QCOMPARE(client.GET("k"), value);
    }

    void integerReplies_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<qint64>("result");
        QTest::newRow("zero") << QByteArray(":0\r\n") << qint64(0);
        QTest::newRow("largest") << QByteArray(":2147483647\r\n") << qint64(2147483647);
        QTest::newRow("smallest") << QByteArray(":-2147483648\r\n") << qint64(-2147483648LL);
        QTest::newRow("nil bulk") << QByteArray("$-1\r\n") << qint64(-1);
    }
    void integerReplies()
    {
        QFETCH(QByteArray, reply);
        QFETCH(qint64, result);
        ScriptedRespPeer peer({reply});
        RedisClient client(Loopback, peer.port());
        client.Connect();
        QCOMPARE(client.LPUSH("k", {"v"}), result);
    }

    // Every reply a store should never send fails the operation with a message, whatever point
    // the reply breaks off at; none crashes or hangs the client.
    void brokenReplies_data()
    {
        QTest::addColumn<bool>("integerReply");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<ScriptedRespPeer::Ending>("ending");
        QTest::addColumn<QString>("failure");

        const QString notAString = QStringLiteral("Not a valid string response");
        const QString notAnInteger = QStringLiteral("Not a valid integer response");
        const QString closed = QStringLiteral("connection: Connection to 127.0.0.1:%1 closed by the peer");
        const QString silent = QStringLiteral("connection: No reply from 127.0.0.1:%1 within 300 ms");
        const auto silence = ScriptedRespPeer::KeepSilent;
        const auto hangUp = ScriptedRespPeer::HangUp;
        auto row = [](const char* name, bool integerReply, const QByteArray& reply,
                      ScriptedRespPeer::Ending ending, const QString& failure) {
            QTest::newRow(name) << integerReply << reply << ending << failure;
        };

        row("value: unknown reply kind", false, "?x\r\n", silence, notAString);
        row("value: empty line", false, "\r\n", silence, notAString);
        row("value: array", false, "*1\r\n$1\r\na\r\n", silence, notAString);
        row("value: length not a number", false, "$x\r\n", silence, notAString);
        row("value: negative length", false, "$-2\r\n", silence, notAString);
        row("value: length above 512 MiB", false, "$536870913\r\n", silence, notAString);
        row("value: longer than announced", false, "$2\r\nabc\r\n", silence, notAString);
        row("value: line beyond the limit", false, QByteArray("+" + QByteArray(16'384'000, 'a') + "\r\n"),
            silence, QStringLiteral("Reply line longer than 16384000 bytes"));
        row("value: error reply", false, "-ERR unknown command\r\n", silence,
            QStringLiteral("ERR unknown command"));
        row("value: hang-up before the reply", false, "", hangUp, closed);
        row("value: hang-up in the line", false, "+O", hangUp, closed);
        row("value: hang-up in the bulk value", false, "$5\r\nab", hangUp, closed);
        row("value: hang-up before the final CR LF", false, "$2\r\nab", hangUp, closed);
        row("value: hang-up between CR and LF", false, "$2\r\nab\r", hangUp, closed);
        row("value: silence", false, "", silence, silent);
        row("value: silence in the line", false, "+OK", silence, silent);
        row("value: silence in the bulk value", false, "$5\r\nab", silence, silent);

        row("integer: above 32 bits", true, ":2147483648\r\n", silence,
            QStringLiteral("Not a valid integer response - Expected Integer got [:2147483648]"));
        row("integer: below 32 bits", true, ":-2147483649\r\n", silence,
            QStringLiteral("Not a valid integer response - Expected Integer got [:-2147483649]"));
        row("integer: not a number", true, ":12x\r\n", silence,
            QStringLiteral("Not a valid integer response - Expected Integer got [:12x]"));
        row("integer: no digits", true, ":\r\n", silence,
            QStringLiteral("Not a valid integer response - Expected Integer got [:]"));
        row("integer: bulk value", true, "$3\r\nabc\r\n", silence, notAnInteger);
        row("integer: simple string", true, "+OK\r\n", silence, notAnInteger);
        row("integer: empty line", true, "\r\n", silence, notAnInteger);
        row("integer: error reply", true, "-ERR no such key\r\n", silence, QStringLiteral("ERR no such key"));
        row("integer: hang-up in the line", true, ":12", hangUp, closed);
        row("integer: silence in the line", true, ":12", silence, silent);
    }
    void brokenReplies()
    {
        QFETCH(bool, integerReply);
        QFETCH(QByteArray, reply);
        QFETCH(ScriptedRespPeer::Ending, ending);
        QFETCH(QString, failure);
        ScriptedRespPeer peer({reply}, ending);
        RedisClient client(Loopback, peer.port());
        client.SetReplyTimeout(ShortReplyTimeout);
        client.Connect();
        const auto operation = [&] {
            if (integerReply)
                client.DEL({"k"});
            else
                client.GET("k");
        };
        QCOMPARE(failureOf(operation),
                 failure.contains(QLatin1String("%1")) ? failure.arg(peer.port()) : failure);

        // Only a complete error reply leaves the connection in step with the store; after anything
        // else a later reply could be taken for the next request's, so the client has hung up.
        if (!failure.startsWith(QLatin1String("ERR ")))
            QCOMPARE(failureOf(operation),
                     QStringLiteral("connection: Not connected to 127.0.0.1:%1").arg(peer.port()));
    }

    void refusedConnection()
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 port = closed.serverPort();
        closed.close();
        RedisClient client(Loopback, port);
        QCOMPARE(failureOf([&] { client.Connect(); }),
                 QStringLiteral("connection: Cannot connect to 127.0.0.1:%1: Connection refused").arg(port));
    }

    void connectTimeOut()
    {
        // A listener whose queue is full leaves further connection attempts unanswered.
        QTcpServer full;
        full.setListenBacklogSize(0);
        QVERIFY(full.listen(QHostAddress::LocalHost));
        QTcpSocket queued;
        queued.connectToHost(QHostAddress::LocalHost, full.serverPort());
        QVERIFY(queued.waitForConnected(ScriptedRespPeer::Patience));

        RedisClient client(Loopback, full.serverPort());
        client.SetConnectTimeout(200);
        QCOMPARE(failureOf([&] { client.Connect(); }),
                 QStringLiteral("connection: Cannot connect to 127.0.0.1:%1: no answer within 200 ms")
                     .arg(full.serverPort()));
    }

    void operationsNeedAConnection()
    {
        RedisClient client(Loopback, m_redis.port());
        const QString notConnected =
            QStringLiteral("connection: Not connected to 127.0.0.1:%1").arg(m_redis.port());
        QCOMPARE(failureOf([&] { client.GET("k"); }), notConnected);
        client.Connect();
        QVERIFY(client.SET("k", "v"));
        client.Disconnect();
        QCOMPARE(failureOf([&] { client.SET("k", "w"); }), notConnected);
        QCOMPARE(m_redis.cli({QStringLiteral("GET"), QStringLiteral("k")}), QByteArray("v"));
    }

    void connectionIsClosed_data()
    {
        QTest::addColumn<bool>("disconnect");
        QTest::newRow("by Disconnect") << true;
        QTest::newRow("by releasing the client") << false;
    }
    void connectionIsClosed()
    {
        QFETCH(bool, disconnect);
        ScriptedRespPeer peer({"+OK\r\n"});
        auto client = std::make_unique<RedisClient>(Loopback, peer.port());
        client->Connect();
        QVERIFY(client->SET("k", "v"));
        if (disconnect)
            client->Disconnect();
        else
            client.reset();
        QVERIFY(peer.clientClosed());
    }

private:
    RedisServer m_redis;
};

QTEST_GUILESS_MAIN(TestRedisClient)
#include "tst_redisclient.moc"
