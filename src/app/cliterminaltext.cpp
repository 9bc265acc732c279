#include "cliterminaltext.h"

namespace {

bool isBidiControl(char16_t c)
{
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

QString escaped(char16_t c)
{
    if (c < 0x80)
        return QStringLiteral("\\x%1").arg(uint(c), 2, 16, QLatin1Char('0'));
    return QStringLiteral("\\u%1").arg(uint(c), 4, 16, QLatin1Char('0'));
}

} // namespace

QByteArray TerminalText(const QString& text)
{
    QString safe;
    safe.reserve(text.size());
    for (const QChar c : text) {
        const bool bControl =
            c != u'\n' && c != u'\t' && (c.category() == QChar::Other_Control || isBidiControl(c.unicode()));
        if (bControl)
            safe += escaped(c.unicode());
        else
            safe += c;
    }
    return safe.toUtf8();
}
