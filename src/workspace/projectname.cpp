#include "projectname.h"

#include <QRegularExpression>

namespace {

bool hasForbiddenCharacter(const QString& name)
{
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || forbidden.contains(c))
            return true;
    }
    return false;
}

// Windows refuses these as folder names, with or without an extension.
bool isDeviceName(const QString& name)
{
    static const QRegularExpression device(QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])(\\..*)?$"),
                                           QRegularExpression::CaseInsensitiveOption);
    return device.match(name).hasMatch();
}

} // namespace

bool IsSafeProjectName(const QString& name)
{
    if (name.isEmpty() || hasForbiddenCharacter(name) || isDeviceName(name))
        return false;
    // A leading dot covers "." and ".." and keeps the folder from being hidden on POSIX systems.
    if (name.startsWith(QLatin1Char('.')))
        return false;
    return !name.endsWith(QLatin1Char(' ')) && !name.endsWith(QLatin1Char('.'));
}
