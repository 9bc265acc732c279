#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class QLabel;
class Language;
struct BusServer;

// While a bus tool connects, which may take up to the session's connect wait of 5 s, the status
// line counts the seconds, so that the window visibly works. Any other text for the line stops it.
class ConnectWait : public QObject
{
public:
    ConnectWait(const Language& language, QLabel* label, QObject* parent = nullptr);

    void start(const BusServer& server);
    void stop();
    bool isActive() const { return m_tick.isActive(); }

private:
    void show();

    const Language& m_language;
    QLabel* m_label;
    QString m_server;
    QTimer m_tick;
    // Counted by the ticks, not read from a clock: a tick a little early or late would show one
    // second twice and skip the next.
    int m_seconds = 0;
};
