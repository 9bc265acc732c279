#pragma once

#include "messages.h"

#include <QString>

class Language;

// Why something cannot be done, as a message of the catalogue and the texts that fill its "$1" and
// "$2". Code below the windows hands it back; the window or the command line words it in the chosen
// language.
struct Problem
{
    Msg message;
    QString first = {};
    QString second = {};

    QString text(const Language& language) const;
    bool operator==(const Problem&) const = default;
};
