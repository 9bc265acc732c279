#include "datetext.h"

#include <QLocale>

QString readableDateTime(const QDateTime& time, WithSeconds seconds)
{
    const QLocale locale;
    QString date = locale.dateFormat(QLocale::ShortFormat);
    // Short formats give two-digit years; a backup list spans years.
    if (!date.contains(QStringLiteral("yyyy")))
        date.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    QString clock = locale.timeFormat(QLocale::ShortFormat);
    if (seconds == WithSeconds::Yes && !clock.contains(u's'))
        clock.replace(QStringLiteral("mm"), QStringLiteral("mm:ss"));
    return locale.toString(time, date + u' ' + clock);
}
