#pragma once

#include <QString>

// Copies the folder from with everything below it (hidden files too) to the folder to, which is
// created; false as soon as anything cannot be copied.
bool CopyTree(const QString& from, const QString& to);
