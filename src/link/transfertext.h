#pragma once

#include "model/fileerror.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>

class SafeFile;

// How a project file travels in the gateway's store: as the UTF-8 bytes of its lines joined with
// CR LF. UTF-8 is what openHAB on the gateway reads, so every character of a label arrives as
// itself (ä as C3 A4, é as C3 A9, € as E2 82 AC). Texts are handled as bytes throughout and
// converted piece by piece, so that a file of hundreds of megabytes never exists as a list of
// lines or as a second, wider copy.

// The text stored for the project file fileName: its lines as OpenHabGenerator::ReadFile reads them,
// without the lines that begin with "#reboot" (the restart flag is the program's business, not
// openHAB's), joined with CR LF and without empty lines at the start or a line break at the end.
// Throws FileReadError when the file cannot be read.
QByteArray ReadTransferText(const QString& fileName);

// Writes text received from the store into file, which must be open: lines split at LF, CR bytes
// dropped, each line decoded as UTF-8 (a malformed sequence becomes U+FFFD), CR LF after every
// line, a last line without LF kept when anything remains of it. Empty text writes nothing. False
// when a write failed. Text is converted a piece of about a megabyte at a time; betweenPieces runs
// after each, so that a long conversion can be cancelled by an exception from it.
bool WriteReceivedBytes(SafeFile& file, QByteArrayView text, const std::function<void()>& betweenPieces = {});

// Writes received text as the project file fileName, as WriteReceivedBytes converts it. Returns
// the failure when the file could not be written; the old file then stays as it was.
std::optional<FileError> WriteReceivedText(const QString& fileName, QByteArrayView text,
                                           const std::function<void()>& betweenPieces = {});
