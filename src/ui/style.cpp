#include "style.h"

#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>

#include <memory>

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

namespace {

// Every picture is drawn in "currentColor", so one file serves on the orange panel and on white.
// The tinted text of each picture and colour is made once.
const QByteArray& tintedSvg(const QString& name, const QColor& colour)
{
    static QHash<QString, QByteArray> tinted;
    const QString key = name + u'|' + colour.name();
    auto found = tinted.find(key);
    if (found == tinted.end()) {
        ensureResources();
        QFile file(QStringLiteral(":/icons/") + name + QStringLiteral(".svg"));
        QByteArray svg = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        svg.replace("currentColor", colour.name().toLatin1());
        found = tinted.insert(key, svg);
    }
    return *found;
}

// The picture drawn for size logical pixels at scale device pixels each, from the cache when it was
// drawn before: sharp on a high-density screen, and drawn once rather than at every paint.
QPixmap rendered(const QString& name, const QColor& colour, QSize size, qreal scale)
{
    const QString key = QStringLiteral("varuno:%1:%2:%3x%4@%5")
                            .arg(name, colour.name(QColor::HexArgb))
                            .arg(size.width())
                            .arg(size.height())
                            .arg(scale);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    pixmap = QPixmap(size * scale);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(tintedSvg(name, colour));
    if (renderer.isValid()) {
        QPainter painter(&pixmap);
        // The colour's own transparency, which its name in the SVG cannot carry.
        painter.setOpacity(colour.alphaF());
        renderer.render(&painter);
    }
    pixmap.setDevicePixelRatio(scale);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

// An icon that draws its picture at whatever size and device pixel ratio a button or list row asks
// for; disabled commands keep their picture, faded like their text.
class TintedIconEngine : public QIconEngine
{
public:
    TintedIconEngine(QString name, QColor colour) : m_name(std::move(name)), m_colour(std::move(colour)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, rendered(m_name, colour(mode), rect.size(), scale));
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override
    {
        return rendered(m_name, colour(mode), size, 1.0);
    }
    // Qt 6.4 asks for the size in device pixels and sets the ratio on the result itself.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal) override
    {
        return rendered(m_name, colour(mode), size, 1.0);
    }
    QIconEngine* clone() const override { return new TintedIconEngine(m_name, m_colour); }
    QString key() const override { return QStringLiteral("varuno-tinted"); }

private:
    QColor colour(QIcon::Mode mode) const
    {
        QColor result = m_colour;
        if (mode == QIcon::Disabled)
            result.setAlpha(110);
        return result;
    }

    QString m_name;
    QColor m_colour;
};

} // namespace

namespace Style {

QPixmap picture(const QString& name, const QColor& colour, QSize size)
{
    const qreal scale = qApp ? qApp->devicePixelRatio() : 1.0;
    return rendered(name, colour, size, scale);
}

QIcon icon(const QString& name, const QColor& colour, QSize)
{
    return QIcon(new TintedIconEngine(name, colour));
}

} // namespace Style
