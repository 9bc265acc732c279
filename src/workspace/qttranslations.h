#pragma once

class Language;

// Qt's own texts (the standard buttons of message boxes, the input dialog, the file dialog, the
// command-line parser's errors) in the language of the catalogue: the loaded section's "Locale" key names the
// language (de, en, …) whose Qt translations are installed, replacing those of the language before. German is
// assumed for a catalogue without the key, as German is the program's built-in language; Qt's own English
// texts need no translation.
void ApplyQtTranslations(const Language& language);
