#pragma once

#include <QString>

// One row of the function list, held in the texts the main window displays. Typed values are
// written and read through TopenHab::FillItem and TopenHab::ExtractItem.
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

    QString caption; // "Bezeichnung": the label
    QString address; // "Adresse": stored form, plus " (n)" for local bus n
    QString voice;   // "Sprache": empty, "Ja" (translated), "Alexa" or "Siri/Home"
    QString groups;  // "Gruppenzugehörigkeit": group names joined by ", "; a scene's group or "_STOP_"
    QString alias;   // openHAB item name
    QString key;     // "Taste": CEN key with " (+)"/" (++)", or scenario number
    QString reverse; // "Ja"/"Nein" (translated); meaningful for individual scenes only
    int kind = Switch;
    bool checked = false; // marked for deletion; never written anywhere

    bool operator==(const FunctionEntry&) const = default;
};
