#include "style.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

// The resources live in a static library, so their registration must be pulled in explicitly.
// Q_INIT_RESOURCE declares its function where it stands: outside every namespace.
static void ensureResources()
{
    static bool registered = false;
    if (!registered) {
        Q_INIT_RESOURCE(resources);
        registered = true;
    }
}

namespace Style {

QPixmap picture(const QString& name, const QColor& colour, QSize size)
{
    ensureResources();
    QFile file(QStringLiteral(":/icons/") + name + QStringLiteral(".svg"));
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    if (!file.open(QIODevice::ReadOnly))
        return pixmap;
    // Every picture is drawn in "currentColor", so one file serves on the orange panel and on white.
    QByteArray svg = file.readAll();
    svg.replace("currentColor", colour.name().toLatin1());
    QSvgRenderer renderer(svg);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    return pixmap;
}

QIcon icon(const QString& name, const QColor& colour, QSize size)
{
    QIcon result;
    const QPixmap pixmap = picture(name, colour, size);
    result.addPixmap(pixmap, QIcon::Normal);
    // Disabled commands keep their picture, faded like their text.
    result.addPixmap(picture(name, QColor(colour.red(), colour.green(), colour.blue(), 110), size),
                     QIcon::Disabled);
    return result;
}

} // namespace Style
