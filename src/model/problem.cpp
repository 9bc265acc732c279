#include "problem.h"

#include "tlanguage.h"

QString Problem::text(const TLanguage& language) const
{
    // A message that takes no texts keeps any "$1" of its own.
    if (first.isEmpty() && second.isEmpty())
        return language.GetMsg(message);
    return language.GetMsg(message, first, second);
}
