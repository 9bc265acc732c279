#pragma once

#include <QString>

class TLanguage;
class Tbticino;

// The checks a function passes before it is saved, whoever typed it: the function editor and the
// CSV import refuse the same rows with the same words.
namespace FunctionCheck {

// A function as typed: the address in its edit form with its address kind (iAdrArt), the key for
// CEN scenes and scenario modules.
struct Input
{
    int kind = 0;
    QString label;
    QString address;
    QString key;
    int addressKind = 0;
    bool sceneChosen = false; // an individual scene names the group it switches
};

// A row's stored address (without its bus) as the function editor offers it for editing: a light
// point as it is stored ("02.15", not "2.15"), other kinds in their edit form. A key-driven kind
// offers point-to-point only, so an address of another kind read from a file is taken as one.
Input EditedAddress(const Tbticino& bticino, const QString& stored, int kind);

// The translated reason why the function cannot be saved, empty when it can. When it can, address
// holds the stored form for the kinds that have one, and key is empty for the kinds without keys.
QString Validate(const TLanguage& language, const Tbticino& bticino, Input& input);

} // namespace FunctionCheck
