#pragma once

#include "problem.h"

#include <QList>
#include <QString>

#include <variant>

class Language;

// One thing an operation below the windows has to tell the user: why something failed (an error
// box), or what went well or was repaired on the way (an information box). The operation hands its
// notices back in the order they happened; the window or the command line shows them.
struct Notice
{
    enum class Kind
    {
        Error,
        Information
    };

    // A message of the catalogue, or a text that a lower layer has put into words already (a lock's
    // holder, what a repair did, the functions an export left out).
    using Content = std::variant<Problem, QString>;

    Kind kind;
    Content content;

    static Notice error(Content content) { return {Kind::Error, std::move(content)}; }
    static Notice information(Content content) { return {Kind::Information, std::move(content)}; }

    QString text(const Language& language) const;
    bool operator==(const Notice&) const = default;
};
using Notices = QList<Notice>;

// Whether an operation did what was asked, and what it has to tell the user, whether it did or not.
struct [[nodiscard]] Outcome
{
    bool ok = true;
    Notices notices = {};

    // Ends the operation with problem as its last notice.
    Outcome& fail(Notice::Content content)
    {
        ok = false;
        notices << Notice::error(std::move(content));
        return *this;
    }
};
