#pragma once

#include <QDateTime>
#include <QString>

// A date and time as people of the chosen language write them (the default locale, which follows
// the program's language), always with the whole year: "14.11.2023 21:12" in German.
enum class WithSeconds
{
    No,
    Yes
};
QString readableDateTime(const QDateTime& time, WithSeconds seconds = WithSeconds::No);
