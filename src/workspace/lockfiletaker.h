#pragma once

#include <QString>

class QLockFile;

// Takes a lock file the way the program takes every lock of a folder it writes: only a holder that
// no longer runs makes a lock stale, never its age, and a lock file left empty by a process that
// died while making it is taken over too, so that no lock blocks for good.
namespace LockFileTaker {

struct Holder
{
    qint64 pid = 0;
    QString hostname; // empty: this computer
    QString appname;
};

enum class Outcome
{
    Taken,
    Held,
    Busy,
    Impossible
};

struct Attempt
{
    Outcome outcome = Outcome::Impossible;
    Holder holder; // who holds the lock, for Held
};

// lockFile must not be locked yet. Busy: the lock file stayed without a holder, someone is making
// it right now. Impossible: no lock file can be made in the folder.
Attempt take(QLockFile& lockFile);

} // namespace LockFileTaker
