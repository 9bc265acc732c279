#pragma once

// The address rules on arbitrary text.
//
// Input: one byte for the function kind, one for the address kind, then the address text, NUL and
// the key text (UTF-8). Besides not crashing:
// - an address that check() accepts as point-to-point, group or general is understood the same
//   way when read back: the stored form of its bus form and of its stored form have the same
//   address kind and are the stored form again, its edit form passes check() again with the same
//   edit form, and takeBus() takes every local-bus suffix off it again;
// - takeBus() on any text either leaves it alone and gives 0, or takes exactly one "#4#0<bus>" off
//   the place where the text's last "#4#0" stands. (It does not promise that the suffix is gone
//   afterwards: "1#4#4#03#03" loses its "#4#03" and still holds one made from the two halves.)

#include "bus/busaddress.h"
#include "fuzzcheck.h"
#include "model/language.h"

#include <QTemporaryDir>

namespace fuzz {

namespace busaddress {

const QString busSuffix = QStringLiteral("#4#0");

inline QString withoutDot(QString s)
{
    const qsizetype dot = s.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        s.remove(dot, 1);
    return s;
}

inline QString checkReadBack(const Language& language, const QString& key, int kind, AddressKind addressKind,
                             const QString& stored)
{
    const QString bus = withoutDot(stored);
    for (const QString& form : {bus, stored}) {
        const BusAddress::Form read = BusAddress::storedForm(form, kind);
        if (read.kind != addressKind || read.text != stored)
            return QStringLiteral("stored %1 (kind %2) reads back from %3 as %4 (kind %5)")
                .arg(stored)
                .arg(int(addressKind))
                .arg(form, read.text)
                .arg(int(read.kind));
    }

    const BusAddress::Form edit = BusAddress::editForm(stored, kind);
    const Result<QString> again = BusAddress::check(edit.text, key, kind, addressKind);
    const QString edit2 = again ? BusAddress::editForm(*again, kind).text : QString();
    if (edit.kind != addressKind || !again || edit2 != edit.text)
        return QStringLiteral("stored %1 edits as %2, which checks as \"%3\" and edits as %4")
            .arg(stored, edit.text, again ? QString() : again.problem().text(language), edit2);

    for (int bus = 1; bus <= 9; ++bus) {
        QString where = withoutDot(stored) + busSuffix + QString::number(bus);
        const int found = BusAddress::takeBus(where);
        if (found != bus || where != withoutDot(stored))
            return QStringLiteral("bus form %1 on bus %2 gives bus %3 and %4")
                .arg(withoutDot(stored))
                .arg(bus)
                .arg(found)
                .arg(where);
    }
    return {};
}

inline QString checkTakeBus(const QString& address)
{
    QString text = address;
    const int bus = BusAddress::takeBus(text);
    const qsizetype at = address.lastIndexOf(busSuffix);
    const qsizetype digitAt = at + busSuffix.size();
    bool expected = false;
    if (at > 0 && digitAt < address.size() && address[digitAt] >= u'0' && address[digitAt] <= u'9')
        expected =
            bus == address[digitAt].unicode() - u'0' && text == address.left(at) + address.mid(digitAt + 1);
    else
        expected = bus == 0 && text == address;
    if (!expected)
        return QStringLiteral("takeBus(%1) gives %2 and leaves %3").arg(address).arg(bus).arg(text);
    return {};
}

} // namespace busaddress

inline QString CheckBusAddress(const QByteArray& input)
{
    using namespace busaddress;
    static QTemporaryDir noCatalogue;
    static const Language german(noCatalogue.path());
    if (input.size() < 2)
        return {};
    const int kind = quint8(input[0]) % 7;                          // 6: no kind of the program
    const auto addressKind = AddressKind(quint8(input[1]) % 5 - 1); // -1: no address kind
    const QList<QByteArray> parts = splitTail(input.mid(2), 1);
    const QString address = QString::fromUtf8(parts[0]);
    const QString key = parts.size() > 1 ? QString::fromUtf8(parts[1]) : QString();

    const Result<QString> stored = BusAddress::check(address, key, kind, addressKind);
    if (stored && kind <= 4 &&
        (addressKind == AddressKind::PointToPoint || addressKind == AddressKind::Group ||
         addressKind == AddressKind::General)) {
        const QString failure = checkReadBack(german, key, kind, addressKind, *stored);
        if (!failure.isEmpty())
            return QStringLiteral("check(%1, %2, %3, %4): ")
                       .arg(address, key)
                       .arg(kind)
                       .arg(int(addressKind)) +
                   failure;
    }

    for (const auto& form : {BusAddress::storedForm(address, kind), BusAddress::editForm(address, kind)}) {
        if (int(form.kind) < 0 || int(form.kind) > 3)
            return QStringLiteral("%1 gives address kind %2").arg(address).arg(int(form.kind));
    }
    return checkTakeBus(address);
}

} // namespace fuzz
