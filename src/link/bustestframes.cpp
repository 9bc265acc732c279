#include "bustestframes.h"

#include "model/functionvocabulary.h"
#include "model/groupnames.h"
#include "openhab/openhabgenerator.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString stopAllGroups = Vocabulary::StopAllBlinds.toString();

QByteArray frame(int who, const QString& what, const FunctionEntry& v)
{
    return (u'*' + QString::number(who) + u'*' + what + u'*' +
            OpenHabGenerator::BusWhere(v.kind, v.address, v.bus, v.cen) + u"##"_s)
        .toLatin1();
}

// A dimmer to an exact percentage: the level dimension (100 + percent) at the actuator's own
// speed (255). The dim steps of a plain command know only tens from 20 %, so 5 % would light up
// at 20 %. 0 % is the plain off.
QByteArray dimTo(int percent, const FunctionEntry& v)
{
    if (percent <= 0)
        return frame(1, u"0"_s, v);
    return (u"*#1*"_s + OpenHabGenerator::BusWhere(v.kind, v.address, v.bus, v.cen) + u"*#1*"_s +
            QString::number(100 + std::min(percent, 100)) + u"*255##"_s)
        .toLatin1();
}

QList<BusStep> single(const QByteArray& f)
{
    return {BusStep{0, f}};
}

QList<BusStep> onThenOff(const QByteArray& on, const QByteArray& off)
{
    return {BusStep{0, on}, BusStep{testOffPauseMs, off}};
}

// A CEN key pressed as the gateway's item presses it: a CEN+ key with the item's own frame (a short
// or an extended press); a plain CEN key with the press, then the release after a short press
// ("#1" after the key).
QList<BusStep> cenPress(const FunctionEntry& v)
{
    if (v.cen == 1 || v.cen == 2)
        return single(OpenHabGenerator::KeyFrame(v.kind, v.address, v.key, v.bus, v.cen).toLatin1());
    const QByteArray press = OpenHabGenerator::KeyFrame(v.kind, v.address, v.key, v.bus, 0).toLatin1();
    QByteArray release = press;
    release.insert(release.lastIndexOf('*'), "#1");
    return {BusStep{0, press}, BusStep{0, release}};
}

// The frames of one member of a scene for openHAB's command ON or OFF, or STOP for blinds.
std::optional<QByteArray> memberFrame(const FunctionEntry& m, const QString& command)
{
    switch (m.kind) {
    case FunctionEntry::Switch:
    case FunctionEntry::Dimmer:
        return frame(1, command == u"ON" ? u"1"_s : u"0"_s, m);
    case FunctionEntry::Automation:
        return frame(2, command == u"UP" ? u"1"_s : command == u"DOWN" ? u"2"_s : u"0"_s, m);
    case FunctionEntry::CenScene:
    case FunctionEntry::ScenarioModule:
        return OpenHabGenerator::KeyFrame(m.kind, m.address, m.key, m.bus, m.cen).toLatin1();
    default:
        return std::nullopt;
    }
}

// As the scene's rule sends ON or OFF: to every member of its group, blinds up or down (reversed
// by the scene's flag); the stop-all scene stops every blind either way.
QList<BusStep> sceneSteps(const FunctionEntry& scene, const QList<FunctionEntry>& rows, bool bOn)
{
    const bool bStopAll = scene.groups == stopAllGroups;
    QList<BusStep> steps;
    for (const FunctionEntry& row : rows) {
        if (row.kind == FunctionEntry::GroupScene)
            continue;
        if (bStopAll ? row.kind != FunctionEntry::Automation : !IsInGroup(row.groups, scene.groups))
            continue;
        QString command = bOn ? u"ON"_s : u"OFF"_s;
        if (bStopAll)
            command = u"STOP"_s;
        else if (row.kind == FunctionEntry::Automation)
            command = bOn != scene.reverse ? u"UP"_s : u"DOWN"_s;
        if (const auto f = memberFrame(row, command))
            steps << BusStep{0, *f};
    }
    return steps;
}

} // namespace

std::optional<TestCommand> ParseTestCommand(const QString& word)
{
    static const std::pair<QString, TestCommand::Word> words[] = {{u"on"_s, TestCommand::On},
                                                                  {u"off"_s, TestCommand::Off},
                                                                  {u"up"_s, TestCommand::Up},
                                                                  {u"down"_s, TestCommand::Down},
                                                                  {u"stop"_s, TestCommand::Stop}};
    for (const auto& [text, value] : words) {
        if (word.compare(text, Qt::CaseInsensitive) == 0)
            return TestCommand{value, 0};
    }
    bool bNumber = false;
    const int level = word.toInt(&bNumber);
    if (bNumber && level >= 0 && level <= 100 && !word.startsWith(u'+'))
        return TestCommand{TestCommand::Level, level};
    return std::nullopt;
}

std::optional<QList<BusStep>> TestSteps(const FunctionEntry& v, const QList<FunctionEntry>& rows,
                                        TestCommand command)
{
    const TestCommand::Word word = command.word;
    const bool bDefault = word == TestCommand::Default;
    switch (v.kind) {
    case FunctionEntry::Switch:
        if (bDefault)
            return onThenOff(frame(1, u"1"_s, v), frame(1, u"0"_s, v));
        if (word == TestCommand::On || word == TestCommand::Off)
            return single(frame(1, word == TestCommand::On ? u"1"_s : u"0"_s, v));
        return std::nullopt;
    case FunctionEntry::Dimmer:
        if (bDefault)
            return onThenOff(frame(1, u"10"_s, v), frame(1, u"0"_s, v));
        if (word == TestCommand::On || word == TestCommand::Off)
            return single(frame(1, word == TestCommand::On ? u"1"_s : u"0"_s, v));
        if (word == TestCommand::Level)
            return single(dimTo(command.level, v));
        return std::nullopt;
    case FunctionEntry::Automation:
        if (bDefault || word == TestCommand::Up)
            return single(frame(2, u"1"_s, v));
        if (word == TestCommand::Down || word == TestCommand::Stop)
            return single(frame(2, word == TestCommand::Down ? u"2"_s : u"0"_s, v));
        return std::nullopt;
    case FunctionEntry::CenScene:
        if (bDefault || word == TestCommand::On)
            return cenPress(v);
        return std::nullopt;
    case FunctionEntry::ScenarioModule:
        if (bDefault || word == TestCommand::On)
            return single(OpenHabGenerator::KeyFrame(v.kind, v.address, v.key, v.bus, v.cen).toLatin1());
        return std::nullopt;
    case FunctionEntry::GroupScene:
        if (bDefault || word == TestCommand::On || word == TestCommand::Off)
            return sceneSteps(v, rows, word != TestCommand::Off);
        return std::nullopt;
    default:
        return std::nullopt;
    }
}
