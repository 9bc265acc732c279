#include "problem.h"

#include "language.h"

QString Problem::text(const Language& language) const
{
    // A text that came empty (a server's error reply without words, say) still fills its place.
    return language.GetMsg(message, first, second);
}
