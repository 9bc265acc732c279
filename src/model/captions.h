#pragma once

#include "model/captiontags.h"
#include "model/functionentry.h"

#include <QString>
#include <QStringList>
#include <QStringView>

class Language;

// A caption that the catalogue translates by its Tag ("64", or "14.3" for entry 3 of Tag 14), with
// the German text that the window design shows until it is translated.
struct Caption
{
    int tag;
    int sub; // the entry of a Tag with several texts; -1 for none
    QStringView german;

    QString key() const;
};

// The captions that the windows and the command line both show, in one table so that the two
// always agree. A caption takes the catalogue's value as it is: a value the catalogue lacks or
// leaves empty gives an empty caption, as the translated windows have always shown it.
namespace Captions {

// The main window's function list columns.
inline constexpr Caption LabelColumn{CaptionTag::LabelColumn, -1, u"Bezeichnung"};
inline constexpr Caption AddressColumn{CaptionTag::AddressColumn, -1, u"Adresse"};
inline constexpr Caption VoiceColumn{CaptionTag::VoiceColumn, -1, u"Alexa/Siri"};
inline constexpr Caption GroupsColumn{CaptionTag::GroupsColumn, -1, u"Gruppenzugehörigkeit"};
inline constexpr Caption KeyColumn{CaptionTag::Key, -1, u"Taste"};
// The function list's Tag, whose entries are the headers of its list groups by kind.
inline constexpr int FunctionListTag = CaptionTag::FunctionList;
inline constexpr Caption GroupHeaders[FunctionEntry::KindCount] = {
    {FunctionListTag, 0, u"Lichter/Schalter"},
    {FunctionListTag, 1, u"Dimmer"},
    {FunctionListTag, 2, u"Raffstore/Jalousien/Automation"},
    {FunctionListTag, 3, u"CEN"},
    {FunctionListTag, 4, u"Temperatur"},
    {FunctionListTag, 5, u"individuelle Szenen"}};
// The function editor's kind buttons, by kind; the command line and the bus tools name kinds so.
inline constexpr Caption KindButtons[FunctionEntry::KindCount] = {
    {CaptionTag::LightKind, -1, u"Licht/Schalter"},
    {CaptionTag::DimmerKind, -1, u"Dimmer"},
    {CaptionTag::BlindKind, -1, u"Raffstore/Jalousie"},
    {CaptionTag::CenKind, -1, u"CEN-Szene"},
    {CaptionTag::ScenarioKind, -1, u"Szenario-Modul"},
    {CaptionTag::GroupSceneKind, -1, u"Individuelle Szene"}};
// The project window's caption of the project name, which the project check names it by.
inline constexpr Caption ProjectName{CaptionTag::ProjectName, -1, u"Name des Projekts"};
// The transfer window's note after a successful send, and its note on a restart.
inline constexpr Caption RefreshNote{
    CaptionTag::RefreshNote, -1,
    u"openHAB wird aktualisiert. Dies kann bis zu 3 Minuten dauern. Wenn neue "
    u"Funktionen hinzugefügt wurden, dann Alexa nach neuen Geräten suchen "
    u"lassen! HomeKit aktualisiert sich automatisch."};
inline constexpr Caption RebootNote{CaptionTag::RebootNote, -1,
                                    u"Hinweis: openHAB wird jetzt neu gestartet. "};

QString Text(const Language& language, const Caption& caption);
// The label, address, voice and groups columns.
QStringList ColumnTexts(const Language& language);
// The columns of the CSV export besides the kind: the four above, the key and the reversed column.
QStringList CsvColumnTexts(const Language& language);
// The list groups' headers by kind, translated and as designed.
QStringList GroupHeaderTexts(const Language& language);
QStringList GermanGroupHeaders();

} // namespace Captions
