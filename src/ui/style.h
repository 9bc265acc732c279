#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStringList>

#include <iterator>

// The program's look in one place: the brand colour of the side panel and the header bands, the
// fonts of the windows and the pictures, drawn as SVG in one colour and tinted where they are used.
namespace Style {

// The brand colour: side panel of the main window and header band of every dialog.
inline QColor accent()
{
    return {244, 111, 49};
}
inline QColor accentDark()
{
    return {214, 88, 30};
}
inline QColor text()
{
    return {51, 51, 51};
}
inline QColor gridLine()
{
    return {226, 226, 226};
}
inline QColor groupHeader()
{
    return {252, 236, 228};
}

// A font of the first installed family; the later ones are close in width, so that the captions
// keep fitting their fixed-size buttons where the designed font is missing.
inline QFont font(const QStringList& families, int pixelSize, QFont::Weight weight = QFont::Normal)
{
    QFont result;
    result.setFamilies(families);
    result.setStyleHint(QFont::SansSerif);
    result.setPixelSize(pixelSize);
    result.setWeight(weight);
    return result;
}

// The windows' body font.
inline QFont bodyFont(int pixelSize)
{
    return font({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"),
                 QStringLiteral("DejaVu Sans Condensed")},
                pixelSize);
}

// The header bands' title.
inline QFont headingFont(int pixelSize)
{
    return font(
        {QStringLiteral("Arial Black"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")},
        pixelSize, QFont::Black);
}

// The brand lettering of the side panel ("Varuno", "BUILDER").
inline QFont brandFont(int pixelSize, bool bold)
{
    return font(
        {QStringLiteral("Calibri"), QStringLiteral("Carlito"), QStringLiteral("DejaVu Sans Condensed")},
        pixelSize, bold ? QFont::Bold : QFont::Normal);
}

// Picture name of each function kind (index = kind), for the list rows and the function editor.
inline QString kindPicture(int kind)
{
    static const char* const names[] = {"kind-switch", "kind-dimmer",   "kind-automation",
                                        "kind-cen",    "kind-scenario", "kind-groupscene"};
    return kind >= 0 && kind < int(std::size(names)) ? QLatin1String(names[kind]) : QString();
}

// The picture name (file name of src/ui/icons without ".svg") drawn in colour at size, at the
// device pixel ratio of the screen (so it stays sharp on a high-density one), drawn once and then
// taken from a cache.
QPixmap picture(const QString& name, const QColor& colour, QSize size);
// The same picture as an icon, for buttons and list rows: drawn at the size and device pixel ratio
// each use asks for (size is the size it is designed for), each of them once.
QIcon icon(const QString& name, const QColor& colour, QSize size);

} // namespace Style
