#include "functioncheck.h"

#include "bus/tbticino.h"
#include "model/functionentry.h"
#include "model/tlanguage.h"
#include "topenhab.h"

FunctionCheck::Input FunctionCheck::EditedAddress(const Tbticino& bticino, const QString& stored, int kind)
{
    Input input;
    input.kind = kind;
    input.address = bticino.FormatAdr(stored, kind, input.addressKind, true);
    if (input.addressKind == 0)
        input.address = bticino.FormatAdr(stored, kind, input.addressKind, false);
    else if (kind == FunctionEntry::CenScene || kind == FunctionEntry::ScenarioModule)
        input.addressKind = 0;
    return input;
}

QString FunctionCheck::Validate(const TLanguage& language, const Tbticino& bticino, Input& input)
{
    if (TopenHab::StoredLabel(input.label).isEmpty())
        return language.GetMsg(Msg::LabelEmpty);
    // The label stands between double quotes in the items file, where a quote would end it early
    // and a backslash would escape the next character.
    if (input.label.contains(QLatin1Char('"')) || input.label.contains(QLatin1Char('\\')))
        return language.GetMsg(Msg::LabelQuoteOrBackslash);
    if (input.kind == FunctionEntry::GroupScene)
        return input.sceneChosen ? QString() : language.GetMsg(Msg::SceneMissing);
    if (input.kind != FunctionEntry::CenScene && input.kind != FunctionEntry::ScenarioModule)
        input.key.clear();
    QString a;
    QString pl;
    const QString error = bticino.CheckAdr(input.address, input.key, input.kind, input.addressKind, a, pl);
    if (!error.isEmpty())
        return error;
    if (!a.isEmpty())
        input.address = pl.isEmpty() ? a : a + QLatin1Char('.') + pl;
    return {};
}
