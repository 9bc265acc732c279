#include "problem.h"

#include "tlanguage.h"

QString Problem::text(const TLanguage& language) const
{
    // A text that came empty (a server's error reply without words, say) still fills its place.
    return language.GetMsg(message, first, second);
}
