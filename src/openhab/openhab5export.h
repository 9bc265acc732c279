#pragma once

#include "bus/busaddress.h"
#include "model/functionentry.h"
#include "openhabgenerator.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// The project for openHAB 5 with its OpenWebNet binding, written after the binding's README and
// thing types of openHAB 5.0 (bundle org.openhab.binding.openwebnet, BUS/SCS gateway):
//
// - one Bridge openwebnet:bus_gateway:bticino with the project's bus server;
// - lights at a light point as bus_on_off_switch, dimmers as bus_dimmer, lights at an area, group
//   or the general address as bus_light_group; blinds at a light point as bus_automation;
// - blinds at other addresses, F420 scenarios and the scene that stops every blind as rules that put
//   the frame on the bus through the bridge's sendMessage action;
// - CEN and CEN+ keys as one bus_cen_scenario_control or bus_cenplus_scenario_control thing per
//   address with its buttons, each key a Switch item whose rule presses it with virtualPress;
// - individual scenes as the same rules as for openHAB 2, and Alexa and Siri as item metadata.
//
// What the binding cannot express is left out and named in leftOut(), one line per function.
class OpenHab5Export
{
public:
    // The files by their paths inside openHAB's conf folder.
    static inline const QString ThingsFile = QStringLiteral("things/bticino.things");
    static inline const QString ItemsFile = QStringLiteral("items/bticino.items");
    static inline const QString RulesFile = QStringLiteral("rules/bticino.rules");
    static inline const QString SitemapFile = QStringLiteral("sitemaps/bticino.sitemap");

    // openHab: the loaded project (its values, groups and catalogue); rows: its function list. Both
    // must outlive the export.
    OpenHab5Export(const OpenHabGenerator& openHab, const QList<FunctionEntry>& rows);

    // The four files (path, text with LF line ends), things, items, rules, sitemap in this order.
    // kindFrames: the sitemap's layout, one frame per kind instead of one per group.
    QList<std::pair<QString, QString>> files(bool kindFrames) const;
    // The functions left out, one line each in the loaded language, in list order.
    const QStringList& leftOut() const { return m_leftOut; }

private:
    // How a function reaches the bus; exported functions only.
    struct Function
    {
        const FunctionEntry* row;
        FunctionEntry v;   // the row, its address in the stored form
        QString where;     // the bus address as the binding writes it
        QString thingType; // empty when no thing of the binding drives it
        QString thingId;
        QString channel; // the channel's whole id; empty without a thing
    };
    // Why the binding cannot express the function; empty when it can.
    QString reason(const Function& f, AddressKind addressKind, const QList<Function>& lights) const;
    QString things() const;
    QString items() const;
    QString rules() const;
    QString sitemap(bool kindFrames) const;

    const OpenHabGenerator& m_openHab;
    QList<Function> m_functions;
    // The exported rows, where the scenes find their members.
    QList<FunctionEntry> m_rows;
    // The groups that can be declared, in the project's order.
    QStringList m_groups;
    QStringList m_leftOut;
};
