#include "prompts.h"

void Prompts::show(const Notices& notices, const Language& language)
{
    for (const Notice& notice : notices) {
        if (notice.kind == Notice::Kind::Error)
            error(notice.text(language));
        else
            information(notice.text(language));
    }
}
