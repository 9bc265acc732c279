#include "busdevice.h"

#include "bus/busaddress.h"
#include "openwebnetframe.h"

#include "model/captions.h"
#include "model/language.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

// The part of a WHAT before its parameters ("07" of "07#1").
QString head(const QString& what)
{
    return what.section(u'#', 0, 0);
}

// Takes the address from where (bus form without the CEN+ "2") as the function editor would take
// it typed, or says why the project cannot hold it.
void takeAddress(QString where, BusDevice& device)
{
    device.problem = BusAddress::busFormProblem(where, device.kind);
    if (device.problem)
        return;
    device.bus = BusAddress::takeBus(where);
    const BusAddress::Form stored = BusAddress::storedForm(where, device.kind);
    device.address = stored.text;
    device.addressKind = stored.kind;
    const QString typed = BusAddress::editForm(device.address, device.kind).text;
    const Result<QString> checked = BusAddress::check(typed, device.key, device.kind, device.addressKind);
    if (!checked)
        device.problem = checked.problem();
}

// A dimmer to an exact level: the level dimension, 100 + percent, at some speed.
const QRegularExpression dimLevel(u"^\\*#1\\*([0-9#]+)\\*#1\\*(1[0-9][0-9])\\*[0-9]+##$"_s);

QString keyCaption(const Language& language)
{
    // The caption of the editor's key field.
    const QString caption = language.caption(u"64"_s);
    return caption.isEmpty() ? u"Taste"_s : caption;
}

// What a command frame of a device does: the message that says it, with the level of a dimmer.
std::optional<std::pair<Msg, int>> commandOf(const BusDevice& device, const QString& who, const QString& what)
{
    const int command = head(what).toInt();
    switch (device.kind) {
    case FunctionEntry::Switch:
    case FunctionEntry::Dimmer:
        if (command == 0 || command == 1)
            return std::pair{command == 1 ? Msg::BusSentOn : Msg::BusSentOff, 0};
        if (command >= 2 && command <= 10)
            return std::pair{Msg::BusSentLevel, command * 10};
        return std::nullopt;
    case FunctionEntry::Automation:
        if (command >= 0 && command <= 2)
            return std::pair{command == 0   ? Msg::BusSentStop
                             : command == 1 ? Msg::BusSentUp
                                            : Msg::BusSentDown,
                             0};
        return std::nullopt;
    case FunctionEntry::CenScene: {
        // A CEN key's "#1" and "#3" end a short and an extended press.
        const QString param = what.section(u'#', 1, 1);
        const bool release = who == u"15" && (param == u"1" || param == u"3");
        return std::pair{release ? Msg::BusSentRelease : Msg::BusSentPress, 0};
    }
    case FunctionEntry::ScenarioModule:
        return std::pair{Msg::BusSentPress, 0};
    default:
        return std::nullopt;
    }
}

} // namespace

std::optional<BusDevice> DeviceOfFrame(const QByteArray& frame)
{
    const auto command = OpenWebNetFrame::ParseCommand(frame);
    if (!command)
        return std::nullopt;
    BusDevice device;
    device.frame = frame;
    QString where = command->where;
    bool bNumber = false;
    const int what = head(command->what).toInt(&bNumber);
    if (!bNumber)
        return std::nullopt;
    if (command->who == u"1") {
        device.kind = what >= 2 && what <= 10 ? FunctionEntry::Dimmer : FunctionEntry::Switch;
        device.kindUnsure = what == 0;
    } else if (command->who == u"2") {
        device.kind = FunctionEntry::Automation;
    } else if (command->who == u"15" || command->who == u"0") {
        device.kind = command->who == u"0" ? FunctionEntry::ScenarioModule : FunctionEntry::CenScene;
        device.key = QString::number(what);
    } else if (command->who == u"25") {
        // CEN+: WHAT is the kind of press, its parameter the key; WHERE carries a leading 2.
        if (what < 21 || what > 24)
            return std::nullopt;
        device.kind = FunctionEntry::CenScene;
        device.cen = what == 21 ? 1 : 2;
        bool bKey = false;
        device.key = QString::number(command->what.section(u'#', 1, 1).toInt(&bKey));
        if (!bKey || !where.startsWith(u'2'))
            return std::nullopt;
        where.remove(0, 1);
    } else {
        return std::nullopt;
    }
    takeAddress(where, device);
    return device;
}

bool DeviceFitsKind(const BusDevice& device, int iType)
{
    if (device.kind == FunctionEntry::Switch || device.kind == FunctionEntry::Dimmer)
        return iType == FunctionEntry::Switch || iType == FunctionEntry::Dimmer;
    return device.kind == iType;
}

QString KindCaption(const Language& language, int kind)
{
    if (kind < 0 || kind >= FunctionEntry::KindCount)
        return QString::number(kind);
    const Caption& button = Captions::KindButtons[kind];
    const QString caption = Captions::Text(language, button);
    return caption.isEmpty() ? button.german.toString() : caption;
}

QString DeviceInWords(const Language& language, const BusDevice& device)
{
    const BusAddress::Form edit = BusAddress::editForm(device.address, device.kind);
    // Only a light point reads well in the editor's short form; "#12" says group, "12" would not.
    QString text = KindCaption(language, device.kind) + u' ' +
                   (edit.kind == AddressKind::PointToPoint ? edit.text : device.address);
    if (device.bus > 0)
        text += u", "_s + language.GetMsg(Msg::LocalBus) + u' ' + QString::number(device.bus);
    if (!device.key.isEmpty())
        text += u", "_s + keyCaption(language) + u' ' + device.key + (device.cen > 0 ? u" (+)"_s : QString());
    return text;
}

QString FrameInWords(const Language& language, const QByteArray& frame, int kind)
{
    const QRegularExpressionMatch level = dimLevel.match(QString::fromLatin1(frame));
    if (level.hasMatch()) {
        auto device = DeviceOfFrame("*1*1*" + level.captured(1).toLatin1() + "##");
        if (!device || device->problem)
            return {};
        device->kind = FunctionEntry::Dimmer;
        return language.GetMsg(Msg::BusSentLevel, DeviceInWords(language, *device),
                               QString::number(level.captured(2).toInt() - 100));
    }
    const auto device = DeviceOfFrame(frame);
    if (!device || device->problem)
        return {};
    const auto command = OpenWebNetFrame::ParseCommand(frame);
    const auto what = commandOf(*device, command->who, command->what);
    if (!what)
        return {};
    BusDevice named = *device;
    if (kind >= 0 && DeviceFitsKind(named, kind))
        named.kind = kind;
    const QString words = DeviceInWords(language, named);
    return what->first == Msg::BusSentLevel
               ? language.GetMsg(what->first, words, QString::number(what->second))
               : language.GetMsg(what->first, words);
}

QString TestResultText(const Language& language, BusError error, const QString& detail, int kind)
{
    if (error != BusError::None && error != BusError::Cancelled)
        return BusErrorText(language, error, detail);
    QStringList said;
    for (const QString& frame : detail.split(u' ', Qt::SkipEmptyParts)) {
        const QString words = FrameInWords(language, frame.toLatin1(), kind);
        said << (words.isEmpty() ? frame : words);
    }
    return BusErrorText(language, error, said.join(u"; "_s));
}
