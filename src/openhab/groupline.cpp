#include "groupline.h"

#include "openhabgrammar.h"

using namespace Qt::StringLiterals;

QString GroupItemLine(const QString& name, const GroupLabels& labels)
{
    const auto label = labels.constFind(name);
    if (label == labels.cend())
        return u"Group "_s + name;
    return u"Group "_s + name + u' ' + QuotedText(*label);
}

GroupNaming ReadGroupItemLine(QStringView text)
{
    const qsizetype blank = text.indexOf(u' ');
    if (blank > 0) {
        const QString name = text.left(blank).toString();
        if (IsValidGroupName(name)) {
            if (const std::optional<QString> label = UnquotedText(text.sliced(blank + 1)))
                return {name, *label};
        }
    }
    return {text.toString(), {}};
}
