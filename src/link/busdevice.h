#pragma once

#include "buserror.h"

#include "bus/busaddress.h"
#include "model/functionentry.h"

#include <QByteArray>
#include <QString>

#include <optional>

class Language;

// A device of the installation as a frame on the bus names it, in the terms of a function row:
// kind, address kind, stored address, bus, and for keys the key and CEN variant.
struct BusDevice
{
    int kind = FunctionEntry::Switch;
    AddressKind addressKind = AddressKind::PointToPoint;
    QString address;
    int bus = 0;
    QString key;
    int cen = 0;
    QByteArray frame;
    // A light point that is off: a dimmer that is off answers just as a light does, so the frame
    // cannot tell which it is. One that is on tells: a light answers 1, a dimmer its level.
    bool kindUnsure = false;
    // Why the project cannot hold this device (a local bus 11 to 15, a room outside 0 to 10, a key
    // outside the editor's range); nothing when it can. Address and bus then mean nothing.
    std::optional<Problem> problem;
};

// The device that frame names: a light point (*1*; a dim level 2 to 10 makes it a dimmer), an
// actuator (*2*), a CEN key (*15*), a CEN+ key (*25*, short press 21, long presses 22 to 24) or a
// scenario (*0*). Nothing for any other frame. A device that the project cannot hold comes with its
// problem, never with a different address.
std::optional<BusDevice> DeviceOfFrame(const QByteArray& frame);

// Whether the device fits a function of kind iType: a light point fits a light and a dimmer.
bool DeviceFitsKind(const BusDevice& device, int iType);

// The kind as the function editor's kind buttons name it (their captions, CaptionTag::LightKind to
// GroupSceneKind).
QString KindCaption(const Language& language, int kind);

// The device in words, as the user knows it from the function list: kind, address (a light point
// as the editor shows it, "3.1"), local bus and key ("CEN-Szene 1.15, Lokaler Bus 1, Taste 2 (+)").
QString DeviceInWords(const Language& language, const BusDevice& device);

// What frame does, in words ("Dimmer 1.5, Lokaler Bus 2 auf 30 % gedimmt"); empty for a frame that
// names no device the project can hold. A light point is named by kind when it fits it: the frame
// that switches a dimmer on says nothing of a dimmer.
QString FrameInWords(const Language& language, const QByteArray& frame, int kind = -1);

// The end of a function test as the user reads it: the frames named in detail (blank-separated, as
// the test reports them) in words, each one that has none as it is.
QString TestResultText(const Language& language, BusError error, const QString& detail, int kind = -1);
