#pragma once

#include <QString>

// One row of the function list, as values: the list and the CSV export put them into words
// (Vocabulary::AddressText, KeyText, VoiceText), the generators write them into the files.
struct FunctionEntry
{
    // Kinds of function; the kind is also the row's list group and icon.
    enum Kind
    {
        Switch = 0,
        Dimmer = 1,
        Automation = 2,
        CenScene = 3,
        ScenarioModule = 4,
        GroupScene = 5
    };
    static constexpr int KindCount = 6;

    // How the function is reached by voice: not at all, through the tags of its item, or (a blind)
    // through a companion item for one assistant.
    enum class Voice
    {
        None,
        On,
        Alexa,
        Home
    };

    // Every member has an initializer, so that a row is written with designated initializers that
    // name only what it sets.
    QString label{};   // "Bezeichnung"
    QString address{}; // "Adresse": the stored form (a scene keeps what it was given, bus and all)
    QString groups{};  // "Gruppenzugehörigkeit": group names joined by ", "; a scene's group or "_STOP_"
    QString alias{};   // openHAB item name
    QString key{};     // "Taste": CEN key or scenario number
    int kind = Switch;
    int bus = 0; // local bus 1 to 9; 0 for the installation's own bus
    int cen = 0; // a CEN scene's variant: 0 CEN, 1 CEN+ short press ("(+)"), 2 long press ("(++)")
    Voice voice = Voice::None;
    bool reverse = false; // an individual scene that reverses its blinds
    bool checked = false; // marked for deletion; never written anywhere

    bool voiceOn() const { return voice != Voice::None; }
    // A blind moved through Siri/Home rather than Alexa.
    bool homeVoice() const { return voice == Voice::Home; }

    // The row as the program keeps it, whoever filled it in: the label without the sitemap's
    // temperature format, no local bus below 1, a key and CEN variant only on the kinds that have
    // them (a CEN scene of an unknown variant has neither), and reversing only on an individual
    // scene.
    FunctionEntry normalized() const;
    // A label as it is kept: without the sitemap's temperature format " %.1f C", removed until none
    // is left, since removing one can join its neighbours into another. A label that this empties
    // is no label.
    static QString storedLabel(const QString& label);

    bool operator==(const FunctionEntry&) const = default;
};
