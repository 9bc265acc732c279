#include "qttranslations.h"

#include "model/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

using namespace Qt::StringLiterals;

void ApplyQtTranslations(const Language& language)
{
    // One translator for the whole program, replaced at every switch of the language.
    static QTranslator* translator = nullptr;
    if (translator) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
        translator = nullptr;
    }
    QString locale = language.caption(u"Locale"_s);
    if (locale.isEmpty())
        locale = u"de"_s;
    // Dates, numbers and Qt's own dialogs (the file dialog's dates) follow the chosen language too.
    QLocale::setDefault(QLocale(locale));
    auto loaded = std::make_unique<QTranslator>();
    // "qt" bundles the translations of the Qt modules that Debian ships, qtbase among them.
    if (loaded->load(QLocale(locale), u"qt"_s, u"_"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        translator = loaded.release();
        QCoreApplication::installTranslator(translator);
    }
}
