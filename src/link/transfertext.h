#pragma once

#include "openhab/fileerror.h"

#include <QByteArray>
#include <QString>

#include <optional>

// How a project file travels in the gateway's store: as the UTF-8 bytes of its lines joined with
// CR LF. UTF-8 is what openHAB on the gateway reads, so every character of a label arrives as
// itself (ä as C3 A4, é as C3 A9, € as E2 82 AC).

// The text stored for the project file fileName: its lines as TopenHab::ReadFile reads them,
// without the lines that begin with "#reboot" (the restart flag is the program's business, not
// openHAB's), joined with CR LF and without empty lines at the start or a line break at the end.
// Throws EFileError when the file cannot be read.
QByteArray ReadTransferText(const QString& fileName);

// Writes text received from the store as the project file fileName: lines split at LF, CR bytes
// dropped, each line decoded as UTF-8 (a malformed sequence becomes U+FFFD), a last line without
// LF kept when anything remains of it. Empty text gives an empty file. Returns the failure when
// the file could not be written; the old file then stays as it was.
std::optional<TFileError> WriteReceivedText(const QString& fileName, const QByteArray& text);
