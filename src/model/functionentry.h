#pragma once

#include <QString>

// One row of the function list. Its label, address and key are held in the texts the main window
// displays, written and read through TopenHab::FillItem and TopenHab::ExtractItem; voice control and
// a scene's reversing are values, which the list words in the current language.
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
    QString address; // "Adresse": stored form, plus " (n)" for local bus n
    QString groups;  // "Gruppenzugehörigkeit": group names joined by ", "; a scene's group or "_STOP_"
    QString alias;   // openHAB item name
    QString key;     // "Taste": CEN key with " (+)"/" (++)", or scenario number
    int kind = Switch;
    Voice voice = Voice::None;
    bool reverse = false; // an individual scene that reverses its blinds
    bool checked = false; // marked for deletion; never written anywhere

    bool operator==(const FunctionEntry&) const = default;
};
