#include "functioncheck.h"

#include "model/functionentry.h"
#include "openhabgenerator.h"

FunctionCheck::Input FunctionCheck::EditedAddress(const QString& stored, int kind)
{
    Input input;
    input.kind = kind;
    BusAddress::Form form = BusAddress::editForm(stored, kind);
    if (form.kind == AddressKind::PointToPoint)
        form = BusAddress::storedForm(stored, kind);
    else if (kind == FunctionEntry::CenScene || kind == FunctionEntry::ScenarioModule)
        form.kind = AddressKind::PointToPoint;
    input.address = form.text;
    input.addressKind = form.kind;
    return input;
}

std::optional<Problem> FunctionCheck::Validate(Input& input)
{
    if (FunctionEntry::storedLabel(input.label).isEmpty())
        return Problem{Msg::LabelEmpty};
    // The label stands between double quotes in the items file, where a quote would end it early
    // and a backslash would escape the next character.
    if (input.label.contains(QLatin1Char('"')) || input.label.contains(QLatin1Char('\\')))
        return Problem{Msg::LabelQuoteOrBackslash};
    if (input.kind == FunctionEntry::GroupScene) {
        if (input.sceneChosen)
            return std::nullopt;
        return Problem{Msg::SceneMissing};
    }
    if (input.kind != FunctionEntry::CenScene && input.kind != FunctionEntry::ScenarioModule)
        input.key.clear();
    const Result<QString> stored = BusAddress::check(input.address, input.key, input.kind, input.addressKind);
    if (!stored)
        return stored.problem();
    if (!stored->isEmpty())
        input.address = *stored;
    return std::nullopt;
}
