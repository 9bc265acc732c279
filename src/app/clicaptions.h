#pragma once

#include <QString>
#include <QStringList>

class TLanguage;

// The main window's captions that the command line shows too, taken from the catalogue as the
// window takes them when it is translated. A caption the catalogue lacks falls back to the
// window's German design text rather than to nothing.
namespace CliCaptions {

// The captions of the label, address, voice and groups columns (Tags 10 to 13).
QStringList ColumnCaptions(const TLanguage& language);
// The caption of the key column (Tag 64).
QString KeyCaption(const TLanguage& language);
// The header of each list group, indexed by kind (Tags 14.0 to 14.5).
QStringList GroupHeaders(const TLanguage& language);
// The transfer dialog's note after a successful send (Tag 44) and its restart note (Tag 45).
QString RefreshNote(const TLanguage& language);
QString RebootNote(const TLanguage& language);

} // namespace CliCaptions
