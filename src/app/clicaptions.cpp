#include "clicaptions.h"

#include "model/tlanguage.h"

using namespace Qt::StringLiterals;

namespace {

struct TDesignCaption
{
    QString tagKey;
    QString german;
};

QString captionOf(const TLanguage& language, const TDesignCaption& caption)
{
    const QString text = language.Caption(caption.tagKey);
    return text.isEmpty() ? caption.german : text;
}

QStringList captionsOf(const TLanguage& language, std::initializer_list<TDesignCaption> captions)
{
    QStringList texts;
    for (const TDesignCaption& caption : captions)
        texts << captionOf(language, caption);
    return texts;
}

} // namespace

namespace CliCaptions {

QStringList ColumnCaptions(const TLanguage& language)
{
    return captionsOf(language, {{u"10"_s, u"Bezeichnung"_s},
                                 {u"11"_s, u"Adresse"_s},
                                 {u"12"_s, u"Sprache"_s},
                                 {u"13"_s, u"Gruppenzugehörigkeit"_s}});
}

QString KeyCaption(const TLanguage& language)
{
    return captionOf(language, {u"64"_s, u"Taste"_s});
}

QStringList GroupHeaders(const TLanguage& language)
{
    return captionsOf(language, {{u"14.0"_s, u"Lichter/Schalter"_s},
                                 {u"14.1"_s, u"Dimmer"_s},
                                 {u"14.2"_s, u"Raffstore/Jalousien/Automation"_s},
                                 {u"14.3"_s, u"CEN"_s},
                                 {u"14.4"_s, u"Temperatur"_s},
                                 {u"14.5"_s, u"individuelle Szenen"_s}});
}

QString RefreshNote(const TLanguage& language)
{
    return captionOf(language,
                     {u"44"_s, u"OpenHAB wird aktualisiert. Dies kann bis zu 3 Minuten dauern. Wenn neue "
                               u"Funktionen hinzugefügt wurden, dann Alexa nach neuen Geräten suchen "
                               u"lassen! HomeKit aktualisiert sich automatisch."_s});
}

QString RebootNote(const TLanguage& language)
{
    return captionOf(language, {u"45"_s, u"Hinweis: OpenHAB wird jetzt neu gestartet. "_s});
}

} // namespace CliCaptions
