#include "devicebox.h"

#include "style.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr QSize pictureSize(120, 152);

} // namespace

DeviceBox::DeviceBox(const QString& picture, QWidget* parent) : QGroupBox(parent), m_caption(new QLabel(this))
{
    m_caption->setWordWrap(true);
    m_caption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    auto* image = new QLabel(this);
    image->setAlignment(Qt::AlignCenter);
    image->setPixmap(Style::picture(picture, Style::text(), pictureSize));
    image->setMinimumSize(pictureSize);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(10, 4, 10, 10);
    column->addWidget(m_caption);
    column->addWidget(image, 1);
}

QString DeviceBox::caption() const
{
    return m_caption->text();
}

void DeviceBox::setCaption(const QString& caption)
{
    m_caption->setText(caption);
}
