#pragma once

#include "model/functionentry.h"
#include "model/functionvocabulary.h"

#include <QString>

// The voice control that tables of cases write as the list shows it: nothing for none, "Alexa" or
// "Siri/Home" for a blind's assistant, any other word ("Ja") for voice through the item's tags.
inline FunctionEntry::Voice voiceOf(const QString& word)
{
    if (word.isEmpty())
        return FunctionEntry::Voice::None;
    if (word == Vocabulary::AlexaVoice)
        return FunctionEntry::Voice::Alexa;
    if (word == Vocabulary::HomeVoice)
        return FunctionEntry::Voice::Home;
    return FunctionEntry::Voice::On;
}
