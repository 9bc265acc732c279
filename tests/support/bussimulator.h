#pragma once

#include <QByteArrayList>
#include <QProcess>
#include <QString>
#include <QStringList>

// The bus simulator of tools/ as a real OpenWebNet bus server for a test: loopback only, on a free
// port, stopped when the fixture is destroyed. Typical use:
//
//     BusSimulator sim;
//     QVERIFY2(sim.start({"--auth", "open", "--devices", file}), qPrintable(sim.errorString()));
//     ... connect to 127.0.0.1:sim.port() ...
//     QCOMPARE(sim.frames(), expected);
class BusSimulator
{
public:
    BusSimulator() = default;
    ~BusSimulator();
    BusSimulator(const BusSimulator&) = delete;
    BusSimulator& operator=(const BusSimulator&) = delete;

    // Starts "serve" with the arguments (device list, --auth, --password) and waits until it
    // listens; false with errorString() when it cannot.
    bool start(const QStringList& serveArguments);
    QString errorString() const { return m_error; }
    quint16 port() const { return m_port; }

    // Puts frames on the bus for every event session.
    bool event(const QByteArrayList& frames);
    // The command frames received so far, in order; clear() forgets them.
    QByteArrayList frames();
    bool clear();
    // normal, silent, close, garbage, nack or mute (see the simulator's help).
    bool setMode(const QString& mode);

private:
    QByteArray control(const QStringList& words);

    QProcess m_process;
    quint16 m_port = 0;
    quint16 m_controlPort = 0;
    QString m_error;
};

// The simulator's path, for tests that run it themselves.
QString busSimulatorPath();
