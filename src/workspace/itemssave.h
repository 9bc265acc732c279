#pragma once

#include "model/notice.h"

#include <optional>

class Language;
class OpenHabGenerator;

// What a save of the function list must respect about the items file it replaces. The items file is
// the project's only store of its functions, so a save must not lose what the file holds: a file
// that is not UTF-8 is never replaced from the list, and one with lines the loader did not take is
// backed up before the save leaves them out.
namespace ItemsSave {

// Why the open project's items file must not be rewritten from the list; nothing when it may be.
std::optional<Problem> readOnlyReason(const OpenHabGenerator& openHab);

// To be run right before a save of the open project's function list; not ok (with the error) when
// the save must not happen. When the save would leave lines out, the items file is backed up first
// (kind before-save) and the user is to be told how many lines and where they are kept; that happens
// once per opening, as the loader's report then counts no dropped lines.
Outcome prepare(OpenHabGenerator& openHab, const Language& language);

} // namespace ItemsSave
