#include "openhab5text.h"

#include "openhabgrammar.h"

#include <algorithm>

QString openHab5Quoted(const QString& text)
{
    QString quoted;
    quoted.reserve(text.size() + 2);
    quoted += u'"';
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\':
            quoted += u"\\\\";
            break;
        case u'"':
            quoted += u"\\\"";
            break;
        case u'\n':
            quoted += u"\\n";
            break;
        case u'\r':
            quoted += u"\\r";
            break;
        case u'\t':
            quoted += u"\\t";
            break;
        default:
            quoted += c;
        }
    }
    quoted += u'"';
    return quoted;
}

bool isOpenHab5Name(const QString& name)
{
    const auto isAsciiLetter = [](QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); };
    const auto isNameChar = [&](QChar c) {
        return isAsciiLetter(c) || c == u'_' || (c >= u'0' && c <= u'9');
    };
    return !name.isEmpty() && (isAsciiLetter(name.front()) || name.front() == u'_') &&
           std::all_of(name.begin(), name.end(), isNameChar) && !IsSitemapOrRulesKeyword(name);
}
