#pragma once

#include <QString>

// One row of the function list, as values: the list and the CSV export put them into words
// (Vocabulary::AddressText, KeyText, VoiceText), the generators read them through
// TopenHab::ExtractItem.
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

    QString caption; // "Bezeichnung": the label
    QString address; // "Adresse": the stored form (a scene keeps what it was given, bus and all)
    QString groups;  // "Gruppenzugehörigkeit": group names joined by ", "; a scene's group or "_STOP_"
    QString alias;   // openHAB item name
    QString key;     // "Taste": CEN key or scenario number
    int kind = Switch;
    int bus = 0; // local bus 1 to 9; 0 for the installation's own bus
    int cen = 0; // a CEN scene's variant: 0 CEN, 1 CEN+ short press ("(+)"), 2 long press ("(++)")
    Voice voice = Voice::None;
    bool reverse = false; // an individual scene that reverses its blinds
    bool checked = false; // marked for deletion; never written anywhere

    bool operator==(const FunctionEntry&) const = default;
};
