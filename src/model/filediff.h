#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The lines that differ between two versions of one file, printed as `diff -u` prints them: the
// two names, then hunks with three lines of context, "\ No newline at end of file" after a last
// line without a line break. Lines end at LF; a CR before the LF belongs to the line break, so a
// file written with CR LF compares and prints as its lines (as `diff -u --strip-trailing-cr`).
// The edit script is a shortest one, found in memory proportional to the two texts.
namespace FileDiff {

// Empty when the texts hold the same lines.
QByteArray unified(QByteArrayView oldText, QByteArrayView newText, QByteArrayView oldName,
                   QByteArrayView newName);

} // namespace FileDiff
