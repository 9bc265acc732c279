#include "headerband.h"

#include "filllanguage.h"
#include "style.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int pictureSize = 40;

} // namespace

HeaderBand::HeaderBand(const QString& picture, const QString& title, int titleTag, QWidget* parent)
    : QFrame(parent), m_picture(new QLabel(this)), m_title(new QLabel(title, this)), m_lines(new QVBoxLayout)
{
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Style::accent());
    colours.setColor(QPalette::WindowText, Qt::white);
    setPalette(colours);
    // The dialogs' style sheet decides the labels' colour over any palette, so the band says its
    // own colour in one too.
    setStyleSheet(QStringLiteral("QLabel { color: white; }"));
    setFixedHeight(Height);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    m_picture->setFixedSize(pictureSize + 8, Height);
    m_picture->setAlignment(Qt::AlignCenter);
    setPicture(picture);

    m_title->setFont(Style::headingFont(21));
    setTag(m_title, titleTag);

    m_lines->setContentsMargins(0, 0, 0, 0);
    m_lines->setSpacing(0);
    m_lines->addStretch();
    m_lines->addWidget(m_title);
    m_lines->addStretch();

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(10, 0, 12, 0);
    row->setSpacing(10);
    row->addWidget(m_picture);
    row->addLayout(m_lines, 1);
}

void HeaderBand::setPicture(const QString& picture)
{
    m_picture->setPixmap(Style::picture(picture, Qt::white, {pictureSize, pictureSize}));
}

QLabel* HeaderBand::addLine(const QString& text)
{
    auto* line = new QLabel(text, this);
    // Before the closing stretch, so the lines stay together below the title.
    m_lines->insertWidget(m_lines->count() - 1, line);
    return line;
}
