#pragma once

#include "model/result.h"

#include <QString>

#include <optional>

// The kinds of OpenWebNet address, in the order the function editor offers them.
enum class AddressKind
{
    PointToPoint,
    Area,
    Group,
    General
};

// The rules for OpenWebNet addresses (the WHERE of a frame) and for the keys of CEN scenes and
// scenario modules. An address exists in three forms: the stored form kept in a function row
// (01.12, 00, #12, 0), the bus form written into the openHAB bindings (the stored form without its
// dot, plus "#4#0<bus>" on a local bus) and the short edit form shown in the function editor.
class BusAddress
{
public:
    // An address with the kind it was found to be.
    struct Form
    {
        QString text;
        AddressKind kind = AddressKind::PointToPoint;
    };

    // Checks the typed address of addressKind for a function of kind (FunctionEntry::Kind), and for
    // CEN scenes and scenario modules also the key. Gives the stored form: a light point as
    // room "." point ("01.12"), any other address alone, nothing for an individual scene.
    static Result<QString> check(const QString& typed, const QString& key, int kind, AddressKind addressKind);
    // Classifies an address in stored or bus form (without bus suffix) and gives it in its stored or
    // its edit form. Text that fits no rule comes back unchanged; an individual scene has no address.
    static Form storedForm(const QString& address, int kind);
    static Form editForm(const QString& address, int kind);
    // Takes the last local-bus suffix "#4#0<bus>" off an address in bus form and gives the bus
    // number; 0 (and the address untouched) when there is none.
    static int takeBus(QString& address);
    // Why the project cannot hold the address in bus form (a CEN+ WHERE without its "2") exactly: a
    // local bus 11 to 15, a suffix that names no bus, or a WHERE that the stored form would not
    // give back. Nothing when it can; the ranges are check()'s.
    static std::optional<Problem> busFormProblem(const QString& address, int kind);

private:
    static Form format(const QString& address, int kind, bool forEditing);
};
