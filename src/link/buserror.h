#pragma once

#include <QString>

class Language;

// How a conversation with the installation's bus server ended.
enum class BusError
{
    None,
    NoServer,        // nothing answered at the address and port, or it is no bus server
    PasswordRefused, // the server refused the password, or the password does not fit its scheme
    CommandRefused,  // the server answered a command with NACK
    NoAnswer,        // an answer did not come in time
    ConnectionLost,  // the server closed the connection
    Garbage,         // the server sent something that is no OpenWebNet frame
    Cancelled,       // the user stopped it
    SessionRefused,  // the server refused the session before asking for any password
    NoGreeting,      // something accepted the connection but never greeted
};

// Where the bus server is and its password: by default the project's server settings.
struct BusServer
{
    QString host;
    quint16 port = 20000;
    QString password;

    // "host:port", as the error texts show it.
    QString address() const;
};

// The text that tells the user what happened; detail is the address, the refused frame or the
// bytes received, as the error has them.
QString BusErrorText(const Language& language, BusError error, const QString& detail);
