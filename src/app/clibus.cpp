#include "clibus.h"
#include "clitransferview.h"

#include "link/busdiscovery.h"
#include "link/buslearn.h"
#include "link/bustest.h"
#include "link/openwebnetsession.h"
#include "model/functionlist.h"
#include "model/functionvocabulary.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"

#include <QEventLoop>
#include <QFileDevice>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

enum ExitStatus
{
    Success = 0,
    Failure = 1,
};

} // namespace

std::optional<CliBus::Verb> CliBus::ParseVerb(const QString& word)
{
    static const std::pair<QString, Verb> verbs[] = {
        {u"test"_s, Test}, {u"learn"_s, Learn}, {u"discover"_s, Discover}, {u"monitor"_s, Monitor}};
    for (const auto& [text, verb] : verbs) {
        if (word == text)
            return verb;
    }
    return std::nullopt;
}

CliBus::CliBus(const OpenHabGenerator& openHab, const Language& language, const FunctionList& items,
               QIODevice& out, QIODevice& err, std::function<int(const QString&)> usageFailure)
    : m_openHab(openHab), m_language(language), m_items(items), m_out(out), m_err(err),
      m_usageFailure(std::move(usageFailure))
{
}

int CliBus::Run(Verb verb, const QStringList& args, const Options& options)
{
    if (verb != Test && !args.isEmpty())
        return m_usageFailure(m_language.GetMsg(Msg::CliWrongArgumentCount));
    switch (verb) {
    case Test:
        return RunTest(args, options);
    case Learn:
        return RunLearn(options);
    case Discover:
        return RunDiscover(options);
    case Monitor:
        return RunMonitor(options);
    }
    return Failure;
}

int CliBus::RunTest(const QStringList& args, const Options& options)
{
    if (args.isEmpty() || args.size() > 2)
        return m_usageFailure(m_language.GetMsg(Msg::CliBusTestArguments));
    const QList<FunctionEntry>& rows = m_items.entries();
    const auto row = std::find_if(rows.cbegin(), rows.cend(), [&](const FunctionEntry& entry) {
        return entry.alias.compare(args.at(0), Qt::CaseInsensitive) == 0;
    });
    if (row == rows.cend())
        return m_usageFailure(m_language.GetMsg(Msg::CliNoSuchAlias, args.at(0)));
    TestCommand command;
    if (args.size() == 2) {
        const auto parsed = ParseTestCommand(args.at(1));
        if (!parsed)
            return m_usageFailure(m_language.GetMsg(Msg::CliUnknownTestWord, args.at(1)));
        command = *parsed;
    }
    const auto steps = TestSteps(*row, rows, command);
    if (!steps)
        return m_usageFailure(m_language.GetMsg(Msg::CliTestWordUnfit, args.value(1),
                                                row->alias + u" ("_s + KindCaption(row->kind) + u')'));
    if (steps->isEmpty()) {
        Print(m_err, m_language.GetMsg(Msg::CliSceneWithoutMembers, row->alias) + u'\n');
        return Success;
    }

    BusTest test;
    QEventLoop loop;
    BusError result = BusError::None;
    QString detail;
    // Each frame as it went out, and beside it what it did in words.
    const int kind = row->kind;
    QStringList done;
    QObject::connect(&test, &BusTest::acknowledged, &loop, [&](const QByteArray& frame) {
        const QString words = FrameInWords(m_language, frame, kind);
        done << (words.isEmpty() ? QString::fromLatin1(frame) : words);
        Print(m_out, QString::fromLatin1(frame) + (words.isEmpty() ? QString() : u'\t' + words) + u'\n');
    });
    QObject::connect(&test, &BusTest::finished, &loop, [&](BusError error, const QString& text) {
        result = error;
        detail = text;
        loop.quit();
    });
    // Ctrl-C in the pause of a test switches the function back, as "Abbrechen" in the window does; a
    // second one stops at once.
    CtrlCGuard ctrlC;
    QTimer ctrlCWatch;
    QObject::connect(&ctrlCWatch, &QTimer::timeout, &loop, [&test] {
        if (CtrlCGuard::takePressed())
            test.cancel();
    });
    ctrlCWatch.start(50);
    test.start(options.server, *steps);
    loop.exec();
    // Stopped before the frames that switch it back went out: the user must know it stays on.
    const bool leftOn =
        result == BusError::Cancelled && detail.isEmpty() && !done.isEmpty() && done.size() < steps->size();
    Print(m_err, (leftOn ? m_language.GetMsg(Msg::BusTestLeftOn, done.join(u"; "_s))
                         : TestResultText(m_language, result, detail, kind)) +
                     u'\n');
    return result == BusError::None ? Success : Failure;
}

int CliBus::RunLearn(const Options& options)
{
    BusLearn learn;
    QEventLoop loop;
    int status = Failure;
    QObject::connect(&learn, &BusLearn::listening, &loop, [&] {
        Print(m_err, m_language.GetMsg(Msg::PressKeyNow, QString::number(options.limitSeconds)) + u'\n');
    });
    QObject::connect(&learn, &BusLearn::unfit, &loop, [&](const QByteArray& frame) {
        Print(m_err, m_language.GetMsg(Msg::KindMismatch, QString::fromLatin1(frame)) + u'\n');
    });
    QObject::connect(&learn, &BusLearn::unusable, &loop, [&](const QByteArray& frame, const Problem& reason) {
        Print(m_err,
              m_language.GetMsg(Msg::BusFrameNotHeld, QString::fromLatin1(frame), reason.text(m_language)) +
                  u'\n');
    });
    QObject::connect(&learn, &BusLearn::learned, &loop, [&](const BusDevice& device) {
        const FunctionEntry entry = ListEntry(device);
        Print(m_out, KindCaption(device.kind) + u'\t' + Vocabulary::AddressText(entry) + u'\t' +
                         QString::number(device.bus) + u'\t' +
                         (entry.key.isEmpty() ? u"-"_s : Vocabulary::KeyText(entry)) + u'\n');
        status = Success;
        loop.quit();
    });
    QObject::connect(&learn, &BusLearn::timedOut, &loop, [&] {
        Print(m_err, m_language.GetMsg(Msg::NoKeyPress, QString::number(options.limitSeconds)) + u'\n');
        loop.quit();
    });
    QObject::connect(&learn, &BusLearn::failed, &loop, [&](BusError error, const QString& detail) {
        status = Failed(error, detail);
        loop.quit();
    });
    learn.start(options.server, BusLearn::anyKind, options.limitSeconds * 1000);
    loop.exec();
    return status;
}

int CliBus::RunDiscover(const Options& options)
{
    const QList<FunctionEntry>& rows = m_items.entries();
    BusDiscovery discovery;
    QEventLoop loop;
    BusError result = BusError::None;
    QString detail;
    QObject::connect(&discovery, &BusDiscovery::finished, &loop, [&](BusError error, const QString& text) {
        result = error;
        detail = text;
        loop.quit();
    });
    discovery.start(options.server, DiscoveryRequests(ProjectBuses(rows)));
    loop.exec();
    if (result != BusError::None)
        return Failed(result, detail);
    const DiscoveryResult found = CompareWithProject(rows, discovery.devices());
    for (const FoundDevice& f : found.found) {
        const BusDevice& d = f.device;
        // A light point that is off may as well be a dimmer, unless the project knows it.
        const QString kind = f.row >= 0     ? KindCaption(rows.at(f.row).kind)
                             : d.kindUnsure ? m_language.GetMsg(Msg::BusKindUnknown)
                                            : KindCaption(d.kind);
        Print(m_out, kind + u'\t' + Vocabulary::AddressText(ListEntry(d)) + u'\t' + QString::number(d.bus) +
                         u'\t' + (f.row >= 0 ? rows.at(f.row).alias : u"-"_s) + u'\n');
    }
    const QString silent = m_language.GetMsg(Msg::SilentInProject);
    for (const int row : found.silentRows) {
        const FunctionEntry& entry = rows.at(row);
        Print(m_out, KindCaption(entry.kind) + u'\t' + Vocabulary::AddressText(entry) + u'\t' +
                         QString::number(entry.bus) + u'\t' + entry.alias + u'\t' + silent + u'\n');
    }
    return Success;
}

int CliBus::RunMonitor(const Options& options)
{
    OwnSession session(OwnSession::Kind::Event);
    QEventLoop loop;
    int status = Success;
    QObject::connect(&session, &OwnSession::eventFrame, &loop,
                     [this](const QByteArray& frame) { Print(m_out, QString::fromLatin1(frame) + u'\n'); });
    QObject::connect(&session, &OwnSession::failed, &loop, [&](BusError error, const QString& detail) {
        status = Failed(error, detail);
        loop.quit();
    });
    QObject::connect(&session, &OwnSession::opened, &loop, [&] {
        Print(m_err, m_language.GetMsg(Msg::BusConnected,
                                       options.server.host + u':' + QString::number(options.server.port)) +
                         u'\n');
    });
    QTimer limit;
    if (options.limitSeconds > 0) {
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
        limit.start(options.limitSeconds * 1000);
    }
    session.open(options.server);
    loop.exec();
    return status;
}

int CliBus::Failed(BusError error, const QString& detail)
{
    Print(m_err, BusErrorText(m_language, error, detail) + u'\n');
    return Failure;
}

QString CliBus::KindCaption(int iType) const
{
    return ::KindCaption(m_language, iType);
}

FunctionEntry CliBus::ListEntry(const BusDevice& device) const
{
    return FunctionEntry{.address = device.address,
                         .key = device.key,
                         .kind = device.kind,
                         .bus = device.bus,
                         .cen = device.cen}
        .normalized();
}

void CliBus::Print(QIODevice& device, const QString& text)
{
    device.write(text.toUtf8());
    // Each line shows at once, also when the output goes into a pipe.
    if (auto* file = qobject_cast<QFileDevice*>(&device))
        file->flush();
}
