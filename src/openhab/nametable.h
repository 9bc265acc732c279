#pragma once

#include <QHashFunctions>
#include <QString>
#include <QStringView>

#include <functional>
#include <unordered_map>

// A table keyed by names of the project (groups, aliases), looked up once or more per function
// when a project is saved or loaded. Qt 6.4's seeded string hash takes about 0.1 µs for a name
// shorter than 16 characters, more than everything else done for a function; the tables only
// ever hold the project's own names, so the unseeded hash serves. Names are looked up as views,
// without a copy.
struct NameHash
{
    using is_transparent = void;
    size_t operator()(QStringView name) const noexcept { return qHash(name, 0); }
};

template <typename T> using NameTable = std::unordered_map<QString, T, NameHash, std::equal_to<>>;
