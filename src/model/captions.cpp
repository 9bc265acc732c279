#include "captions.h"

#include "language.h"

QString Caption::key() const
{
    return sub < 0 ? QString::number(tag) : QString::number(tag) + QLatin1Char('.') + QString::number(sub);
}

namespace Captions {

QString Text(const Language& language, const Caption& caption)
{
    return language.caption(caption.key());
}

QStringList ColumnTexts(const Language& language)
{
    QStringList texts;
    for (const Caption& caption : {LabelColumn, AddressColumn, VoiceColumn, GroupsColumn})
        texts << Text(language, caption);
    return texts;
}

QStringList CsvColumnTexts(const Language& language)
{
    return ColumnTexts(language) << Text(language, KeyColumn) << language.GetMsg(Msg::CsvReversedColumn);
}

QStringList GroupHeaderTexts(const Language& language)
{
    QStringList texts;
    for (const Caption& caption : GroupHeaders)
        texts << Text(language, caption);
    return texts;
}

QStringList GermanGroupHeaders()
{
    QStringList texts;
    for (const Caption& caption : GroupHeaders)
        texts << caption.german.toString();
    return texts;
}

} // namespace Captions
