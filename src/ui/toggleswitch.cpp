#include "toggleswitch.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

constexpr int trackWidth = 44;
constexpr int trackHeight = 20;
constexpr int gap = 8;

} // namespace

ToggleSwitch::ToggleSwitch(QWidget* parent)
    : QAbstractButton(parent), m_textColour(Qt::black), m_frameColour(Qt::black)
{
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    QSizePolicy policy = sizePolicy();
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    // The caption is painted from the two state captions, never from text().
    connect(this, &QAbstractButton::toggled, this, [this] { update(); });
}

void ToggleSwitch::setOffCaption(const QString& caption)
{
    m_offCaption = caption;
    captionsChanged();
}

void ToggleSwitch::setOnCaption(const QString& caption)
{
    m_onCaption = caption;
    captionsChanged();
}

void ToggleSwitch::setColours(const QColor& textColour, const QColor& frameColour)
{
    m_textColour = textColour;
    m_frameColour = frameColour;
    update();
}

void ToggleSwitch::captionsChanged()
{
    setAccessibleName(caption());
    setMinimumHeight(heightForWidth(width()));
    updateGeometry();
    update();
}

QSize ToggleSwitch::sizeHint() const
{
    const QFontMetrics metrics(font());
    const int captionWidth =
        std::max(metrics.horizontalAdvance(m_offCaption), metrics.horizontalAdvance(m_onCaption));
    return {trackWidth + gap + captionWidth + 2, std::max(trackHeight + 4, metrics.height() + 4)};
}

QSize ToggleSwitch::minimumSizeHint() const
{
    // The longest word of either caption still fits.
    const QFontMetrics metrics(font());
    int word = 0;
    for (const QString& caption : {m_offCaption, m_onCaption}) {
        for (const QString& part : caption.split(u' '))
            word = std::max(word, metrics.horizontalAdvance(part));
    }
    const int width = trackWidth + gap + word + 2;
    return {width, heightForWidth(width)};
}

int ToggleSwitch::captionHeight(int captionWidth) const
{
    const QFontMetrics metrics(font());
    int height = 0;
    for (const QString& caption : {m_offCaption, m_onCaption}) {
        const QRect room(0, 0, std::max(1, captionWidth), 10000);
        height = std::max(height, metrics.boundingRect(room, Qt::TextWordWrap, caption).height());
    }
    return height;
}

int ToggleSwitch::heightForWidth(int width) const
{
    return std::max(trackHeight + 4, captionHeight(width - trackWidth - gap) + 4);
}

QRect ToggleSwitch::captionRect() const
{
    return {trackWidth + gap, 0, width() - trackWidth - gap, height()};
}

void ToggleSwitch::resizeEvent(QResizeEvent* event)
{
    QAbstractButton::resizeEvent(event);
    const int needed = heightForWidth(width());
    if (minimumHeight() != needed)
        setMinimumHeight(needed);
}

bool ToggleSwitch::hitButton(const QPoint& pos) const
{
    return rect().contains(pos);
}

void ToggleSwitch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF track(1.5, (height() - trackHeight) / 2.0 + 0.5, trackWidth - 3, trackHeight - 1);
    QPen frame(m_frameColour, 1.5);
    painter.setPen(frame);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(track, track.height() / 2, track.height() / 2);

    const qreal thumbSize = track.height() - 8;
    const qreal thumbX = isChecked() ? track.right() - 4 - thumbSize : track.left() + 4;
    painter.setPen(Qt::NoPen);
    painter.setBrush(isEnabled()
                         ? m_frameColour
                         : QColor(m_frameColour.red(), m_frameColour.green(), m_frameColour.blue(), 110));
    painter.drawEllipse(QRectF(thumbX, track.top() + 4, thumbSize, thumbSize));

    painter.setPen(m_textColour);
    QRect captionBounds;
    painter.drawText(captionRect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, caption(),
                     &captionBounds);

    // The keyboard's place: a dotted frame around switch and caption, in the caption's colour so
    // that it shows on the side panel as on a white dialog.
    if (hasFocus()) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(m_textColour, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        const int right = std::min(width() - 1, captionBounds.right() + 2);
        painter.drawRect(QRect(QPoint(0, 0), QPoint(right, height() - 1)));
    }
}
