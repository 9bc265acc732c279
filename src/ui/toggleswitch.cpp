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

bool ToggleSwitch::hitButton(const QPoint& pos) const
{
    return rect().contains(pos);
}

void ToggleSwitch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF track(1.5, (height() - trackHeight) / 2.0 + 0.5, trackWidth - 3, trackHeight - 1);
    QPen frame(m_frameColour, hasFocus() ? 2.0 : 1.5);
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
    const QRect captionRect(trackWidth + gap, 0, width() - trackWidth - gap, height());
    painter.drawText(captionRect, Qt::AlignLeft | Qt::AlignVCenter, caption());
}
