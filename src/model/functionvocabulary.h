#pragma once

#include "model/functionentry.h"

#include <QList>
#include <QString>
#include <QStringView>

class FunctionList;

// The names the program gives functions and their parts in the files it writes, and recognises
// when it reads them back. The kinds themselves are FunctionEntry::Kind.
namespace Vocabulary {

// A reversing individual scene is known by its alias prefix alone.
inline constexpr QStringView ReversingScenePrefix = u"GROUPX_";
// The groups text of the individual scene that stops every blind instead of switching a group.
inline constexpr QStringView StopAllBlinds = u"_STOP_";
// A voice-controlled blind has a companion item: its alias with one of these suffixes.
inline constexpr QStringView AlexaSuffix = u"_ALEXA";
inline constexpr QStringView HomeSuffix = u"_HOME";
// The voice texts of a blind's assistants.
inline constexpr QStringView AlexaVoice = u"Alexa";
inline constexpr QStringView HomeVoice = u"Siri/Home";

// The alias prefix of a kind ("SWITCH_" for a kind out of range); a reversing individual scene
// takes ReversingScenePrefix instead.
QStringView AliasPrefix(int kind, bool reversingScene);

// Gives every row the alias of its kind and its place in the list, counted from 1. Only rows whose
// alias changes are replaced.
void RenumberAliases(FunctionList& list);
void RenumberAliases(QList<FunctionEntry>& rows);

// A row's address as the list shows it: the stored form, and " (n)" on local bus n.
QString AddressText(const FunctionEntry& row);
// A row's key as the list shows it: a CEN+ key with " (+)" or " (++)" after it.
QString KeyText(const FunctionEntry& row);
// The address and the key back from the list's words (as a CSV file holds them): a bus is the digit
// after the first "(", a CEN variant a "(+)" or "(++)" after the key's first character; blanks and
// control characters around what is left go.
struct AddressWords
{
    QString address;
    int bus = 0;
};
AddressWords ReadAddressText(const QString& text);
struct KeyWords
{
    QString key;
    int cen = 0;
};
KeyWords ReadKeyText(const QString& text);

// A row's voice control in words: nothing, yes (the catalogue's "Ja") for voice through the item's
// tags, or the assistant of a blind's companion item.
QString VoiceText(FunctionEntry::Voice voice, const QString& yes);

} // namespace Vocabulary
