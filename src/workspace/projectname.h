#pragma once

#include <QString>

// Whether a project name can be its folder's name below projects/ on every platform the program
// runs on. A name passes only when the folder stays directly below projects/, is not hidden (a
// hidden folder is never listed as a project), and is one that Windows as well as POSIX file systems
// accept: no / \ : * ? " < > | or control characters, not "." or "..", not ending in a blank or a
// dot, not one of Windows' device names (CON, NUL, COM1, ...). Anything else is taken as typed.
bool IsSafeProjectName(const QString& name);
