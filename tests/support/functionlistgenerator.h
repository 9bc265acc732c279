#pragma once

#include "model/functionentry.h"

#include <QList>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include <utility>

class OpenHabGenerator;

// Random projects as a user could build them: group lists the group editor accepts and function
// rows saved the way the function editor saves them (addresses and keys typed in many ways and
// checked by BusAddress::check, rows normalized as the editor keeps them, aliases by position), then deleted,
// moved and ticked in the main window. The same seed gives the same project.
class FunctionListGenerator
{
public:
    FunctionListGenerator(const OpenHabGenerator& openHab, quint32 seed);

    // Up to maxCount names of letters and digits, now and then one twice or once more in other
    // letter case.
    QStringList groups(int maxCount = 6);
    // count rows over the group list, in the language active at the call; some of them afterwards
    // deleted, moved or ticked without renumbering, so aliases may leave gaps.
    QList<FunctionEntry> functions(const QStringList& groups, int count);

private:
    // A label of letters (umlauts and accents too), digits, blanks, brackets and signs, never a
    // double quote or a backslash; it stays non-empty once normalized.
    QString label();
    FunctionEntry function(const QStringList& groups);
    // A typed address of an address kind and a typed key, until BusAddress::check accepts them;
    // returns the stored form and the key as the editor keeps them.
    std::pair<QString, QString> checkedAddress(int iType);
    QString typedAddress(int addressKind);
    QString typedKey(int maxKey);
    QString padded(int value, int width);

    const OpenHabGenerator& m_openHab;
    QRandomGenerator m_random;
};
