#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// What openHAB 2.5's own grammars accept in the texts the program writes into its files.

// The first piece of a label that the items grammar cannot read inside "…": a backslash that starts
// none of its escapes (\b \t \n \f \r \" \' \\ and \u with four hex digits), a backslash at the
// very end (it would escape the closing quote), or an escaped quote, which the program's own loader
// cuts the label at. Empty when the label reads as it stands.
QString RejectedLabelPiece(const QString& label);

// Whether an item name is a keyword of the sitemap or the rules language (letter case counting, as
// those grammars count it): the sitemap and the rules name every item, and a keyword there is not
// read as a name.
bool IsSitemapOrRulesKeyword(const QString& name);

// text as a string of the items and sitemap grammars: in quotes, with a backslash before every
// quote and backslash.
QString QuotedText(QStringView text);
// The text of a string QuotedText writes, or nothing when quoted is not one (a missing quote, an
// empty text, or a backslash before anything but a quote or a backslash): such a string is read
// and written back as it stands, and another way of writing the text would change its bytes.
std::optional<QString> UnquotedText(QStringView quoted);
