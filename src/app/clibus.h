#pragma once

#include "link/busdevice.h"
#include "link/buserror.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class FunctionList;
class QIODevice;
class Language;
class OpenHabGenerator;

// The command line's bus tools: test a function, learn an address from a key press, find the
// installation's devices and watch the bus. Each runs an event loop until it is done; results go
// to standard output, errors to standard error. Every mistake of the command line is found
// before the first connection.
class CliBus
{
public:
    enum Verb
    {
        Test,
        Learn,
        Discover,
        Monitor
    };
    // The verbs' words; nothing for any other word.
    static std::optional<Verb> ParseVerb(const QString& word);

    struct Options
    {
        BusServer server;
        int limitSeconds = 0; // learn: the wait for a key press; monitor: 0 means until interrupted
    };

    // usageFailure reports a command line that cannot be carried out and returns its status.
    CliBus(const OpenHabGenerator& openHab, const Language& language, const FunctionList& items,
           QIODevice& out, QIODevice& err, std::function<int(const QString&)> usageFailure);

    // args: the arguments after the project (alias and word for test).
    int Run(Verb verb, const QStringList& args, const Options& options);

private:
    int RunTest(const QStringList& args, const Options& options);
    int RunLearn(const Options& options);
    int RunDiscover(const Options& options);
    int RunMonitor(const Options& options);
    int Failed(BusError error, const QString& detail);
    QString KindCaption(int iType) const;
    // A device as a row of the function list shows it: the address with its local bus, the key
    // with its CEN+ mark.
    FunctionEntry ListEntry(const BusDevice& device) const;
    void Print(QIODevice& device, const QString& text);

    const OpenHabGenerator& m_openHab;
    const Language& m_language;
    const FunctionList& m_items;
    QIODevice& m_out;
    QIODevice& m_err;
    std::function<int(const QString&)> m_usageFailure;
};
