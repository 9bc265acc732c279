#include "notice.h"

QString Notice::text(const Language& language) const
{
    if (const auto* problem = std::get_if<Problem>(&content))
        return problem->text(language);
    return std::get<QString>(content);
}
