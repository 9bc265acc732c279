#pragma once

#include "bus/busaddress.h"
#include "model/problem.h"

#include <QString>

#include <optional>

// The checks a function passes before it is saved, whoever typed it: the function editor and the
// CSV import refuse the same rows with the same words.
namespace FunctionCheck {

// A function as typed: the address in its edit form with its address kind, the key for CEN scenes
// and scenario modules.
struct Input
{
    int kind = 0;
    QString label;
    QString address;
    QString key;
    AddressKind addressKind = AddressKind::PointToPoint;
    bool sceneChosen = false; // an individual scene names the group it switches
};

// A row's stored address (without its bus) as the function editor offers it for editing: a light
// point as it is stored ("02.15", not "2.15"), other kinds in their edit form. A key-driven kind
// offers point-to-point only, so an address of another kind read from a file is taken as one.
Input EditedAddress(const QString& stored, int kind);

// Why the function cannot be saved, nothing when it can. When it can, address holds the stored
// form for the kinds that have one, and key is empty for the kinds without keys.
std::optional<Problem> Validate(Input& input);

} // namespace FunctionCheck
