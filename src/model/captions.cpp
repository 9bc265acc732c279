#include "captions.h"

#include "tlanguage.h"

QString TCaption::key() const
{
    return sub < 0 ? QString::number(tag) : QString::number(tag) + QLatin1Char('.') + QString::number(sub);
}

namespace Captions {

QString Text(const TLanguage& language, const TCaption& caption)
{
    return language.Caption(caption.key());
}

QStringList ColumnTexts(const TLanguage& language)
{
    QStringList texts;
    for (const TCaption& caption : {LabelColumn, AddressColumn, VoiceColumn, GroupsColumn})
        texts << Text(language, caption);
    return texts;
}

QStringList CsvColumnTexts(const TLanguage& language)
{
    return ColumnTexts(language) << Text(language, KeyColumn) << language.GetMsg(Msg::CsvReversedColumn);
}

QStringList GroupHeaderTexts(const TLanguage& language)
{
    QStringList texts;
    for (const TCaption& caption : GroupHeaders)
        texts << Text(language, caption);
    return texts;
}

QStringList GermanGroupHeaders()
{
    QStringList texts;
    for (const TCaption& caption : GroupHeaders)
        texts << caption.german.toString();
    return texts;
}

} // namespace Captions
