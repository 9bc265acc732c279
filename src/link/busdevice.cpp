#include "busdevice.h"

#include "bus/tbticino.h"
#include "openwebnetframe.h"

#include "model/tlanguage.h"

using namespace Qt::StringLiterals;

namespace {

// The kind buttons' captions with the design's German texts.
struct KindName
{
    const char* tag;
    QStringView text;
};
constexpr KindName kindNames[] = {{"53", u"Licht/Schalter"},     {"54", u"Dimmer"},
                                  {"55", u"Raffstore/Jalousie"}, {"56", u"CEN-Szene"},
                                  {"57", u"Szenario-Modul"},     {"58", u"Individuelle Szene"}};

// The part of a WHAT before its parameters ("07" of "07#1").
QString head(const QString& what)
{
    return what.section(u'#', 0, 0);
}

// Takes the address from where (bus form without the CEN+ "2") as the function editor would take
// it typed, or says why the project cannot hold it.
void takeAddress(const Tbticino& bticino, QString where, TBusDevice& device)
{
    device.problem = bticino.CheckBusForm(where, device.iType);
    if (!device.problem.isEmpty())
        return;
    device.iBus = bticino.GetBus(where);
    device.sAdr = bticino.FormatAdr(where, device.iType, device.iAdrArt, false);
    int iAdrArt = 0;
    const QString typed = bticino.FormatAdr(device.sAdr, device.iType, iAdrArt, true);
    QString a;
    QString pl;
    device.problem = bticino.CheckAdr(typed, device.sCENKey, device.iType, device.iAdrArt, a, pl);
}

} // namespace

std::optional<TBusDevice> DeviceOfFrame(const Tbticino& bticino, const QByteArray& frame)
{
    const auto command = OpenWebNetFrame::ParseCommand(frame);
    if (!command)
        return std::nullopt;
    TBusDevice device;
    device.frame = frame;
    QString where = command->where;
    bool bNumber = false;
    const int what = head(command->what).toInt(&bNumber);
    if (!bNumber)
        return std::nullopt;
    if (command->who == u"1") {
        device.iType = what >= 2 && what <= 10 ? FunctionEntry::Dimmer : FunctionEntry::Switch;
    } else if (command->who == u"2") {
        device.iType = FunctionEntry::Automation;
    } else if (command->who == u"15" || command->who == u"0") {
        device.iType = command->who == u"0" ? FunctionEntry::ScenarioModule : FunctionEntry::CenScene;
        device.sCENKey = QString::number(what);
    } else if (command->who == u"25") {
        // CEN+: WHAT is the kind of press, its parameter the key; WHERE carries a leading 2.
        if (what < 21 || what > 24)
            return std::nullopt;
        device.iType = FunctionEntry::CenScene;
        device.iCEN = what == 21 ? 1 : 2;
        bool bKey = false;
        device.sCENKey = QString::number(command->what.section(u'#', 1, 1).toInt(&bKey));
        if (!bKey || !where.startsWith(u'2'))
            return std::nullopt;
        where.remove(0, 1);
    } else {
        return std::nullopt;
    }
    takeAddress(bticino, where, device);
    return device;
}

bool DeviceFitsKind(const TBusDevice& device, int iType)
{
    if (device.iType == FunctionEntry::Switch || device.iType == FunctionEntry::Dimmer)
        return iType == FunctionEntry::Switch || iType == FunctionEntry::Dimmer;
    return device.iType == iType;
}

QString KindCaption(const TLanguage& language, int iType)
{
    if (iType < 0 || iType >= int(std::size(kindNames)))
        return QString::number(iType);
    const QString caption = language.Caption(QString::fromLatin1(kindNames[iType].tag));
    return caption.isEmpty() ? kindNames[iType].text.toString() : caption;
}
