#include "model/captions.h"
#include "model/inifile.h"
#include "model/language.h"

#include "programfolder.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QList<Caption> allCaptions()
{
    QList<Caption> captions{Captions::LabelColumn,  Captions::AddressColumn, Captions::VoiceColumn,
                            Captions::GroupsColumn, Captions::KeyColumn,     Captions::RefreshNote,
                            Captions::RebootNote};
    for (const Caption& caption : Captions::GroupHeaders)
        captions << caption;
    return captions;
}

} // namespace

class TstCaptions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyLanguageHasEveryCaption();
    void emptyCatalogueValueGivesAnEmptyCaption();
};

// The windows and the command line show what the catalogue holds; a caption the shipped catalogue
// lacks would leave a blank header in both.
void TstCaptions::everyLanguageHasEveryCaption()
{
    const IniFile catalogue(QStringLiteral(VARUNO_DATA_DIR "/language.ini"));
    const QStringList languages = catalogue.sections();
    QVERIFY(languages.contains(u"Deutsch"_s) && languages.contains(u"English"_s));
    for (const QString& language : languages) {
        for (const Caption& caption : allCaptions())
            QVERIFY2(!catalogue.value(language, caption.key()).isEmpty(),
                     qPrintable(language + u' ' + caption.key()));
    }
}

void TstCaptions::emptyCatalogueValueGivesAnEmptyCaption()
{
    QTemporaryDir config;
    QVERIFY(writeBytes(config.filePath(u"language.ini"_s), "[Deutsch]\r\n10=\r\n11=Adr\r\n14.1=Dim\r\n"));
    Language language(config.path());
    language.LoadLanguage(u"Deutsch"_s);
    QCOMPARE(Captions::ColumnTexts(language), QStringList({QString(), u"Adr"_s, QString(), QString()}));
    QCOMPARE(Captions::GroupHeaderTexts(language).value(1), u"Dim"_s);
    QCOMPARE(Captions::GroupHeaderTexts(language).value(4), QString());
    QCOMPARE(Captions::Text(language, Captions::KeyColumn), QString());
}

QTEST_GUILESS_MAIN(TstCaptions)
#include "tst_captions.moc"
