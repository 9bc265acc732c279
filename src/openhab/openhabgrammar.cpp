#include "openhabgrammar.h"

#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// The length of the escape at label[at] (a backslash), 0 when the items grammar has no such escape.
qsizetype escapeLength(const QString& label, qsizetype at)
{
    if (at + 1 >= label.size())
        return 0;
    const QChar next = label.at(at + 1);
    if (QStringView(u"btnfr'\\").contains(next))
        return 2;
    if (next != u'u')
        return 0;
    const QStringView digits = QStringView(label).sliced(at + 2).left(4);
    return digits.size() == 4 && std::all_of(digits.begin(), digits.end(), isHexDigit) ? 6 : 0;
}

} // namespace

QString RejectedLabelPiece(const QString& label)
{
    for (qsizetype at = label.indexOf(u'\\'); at >= 0; at = label.indexOf(u'\\', at)) {
        const qsizetype length = escapeLength(label, at);
        if (length == 0)
            return label.mid(at, 2);
        at += length;
    }
    return {};
}

bool IsSitemapOrRulesKeyword(const QString& name)
{
    static const QSet<QString> keywords = {
        // the sitemap language
        u"sitemap"_s, u"label"_s, u"icon"_s, u"item"_s, u"Frame"_s, u"Text"_s, u"Switch"_s, u"Selection"_s,
        u"Slider"_s, u"Setpoint"_s, u"Video"_s, u"Chart"_s, u"Webview"_s, u"Colorpicker"_s, u"Mapview"_s,
        u"Image"_s, u"Group"_s, u"Default"_s, u"List"_s, u"url"_s, u"refresh"_s, u"period"_s, u"service"_s,
        u"legend"_s, u"height"_s, u"minValue"_s, u"maxValue"_s, u"step"_s, u"mappings"_s, u"visibility"_s,
        u"labelcolor"_s, u"valuecolor"_s, u"iconcolor"_s, u"encoding"_s, u"sendFrequency"_s,
        u"switchSupport"_s, u"forceasitem"_s,
        // the rules language and the expressions it is built on
        u"rule"_s, u"when"_s, u"then"_s, u"end"_s, u"import"_s, u"static"_s, u"extension"_s, u"var"_s,
        u"val"_s, u"Item"_s, u"received"_s, u"command"_s, u"update"_s, u"changed"_s, u"from"_s, u"to"_s,
        u"Time"_s, u"cron"_s, u"is"_s, u"midnight"_s, u"noon"_s, u"System"_s, u"started"_s, u"shuttingdown"_s,
        u"Member"_s, u"of"_s, u"Channel"_s, u"triggered"_s, u"Thing"_s, u"if"_s, u"else"_s, u"switch"_s,
        u"case"_s, u"default"_s, u"for"_s, u"while"_s, u"do"_s, u"new"_s, u"return"_s, u"null"_s, u"true"_s,
        u"false"_s, u"typeof"_s, u"instanceof"_s, u"as"_s, u"throw"_s, u"try"_s, u"catch"_s, u"finally"_s,
        u"super"_s, u"extends"_s, u"synchronized"_s};
    return keywords.contains(name);
}

QString QuotedText(QStringView text)
{
    QString quoted;
    quoted.reserve(text.size() + 2);
    quoted += u'"';
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    quoted += u'"';
    return quoted;
}

std::optional<QString> UnquotedText(QStringView quoted)
{
    if (quoted.size() < 3 || !quoted.startsWith(u'"') || !quoted.endsWith(u'"'))
        return std::nullopt;
    QString text;
    const QStringView inner = quoted.sliced(1, quoted.size() - 2);
    for (qsizetype at = 0; at < inner.size(); ++at) {
        QChar c = inner.at(at);
        if (c == u'"')
            return std::nullopt;
        if (c == u'\\') {
            if (++at == inner.size() || (inner.at(at) != u'"' && inner.at(at) != u'\\'))
                return std::nullopt;
            c = inner.at(at);
        }
        text += c;
    }
    return text;
}
