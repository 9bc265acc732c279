#include "dialoglook.h"

#include "filllanguage.h"
#include "style.h"

#include "model/captiontags.h"

#include <QDialog>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

namespace DialogLook {

namespace {

constexpr QSize buttonPicture(18, 18);

QString styleSheet()
{
    const QString accent = Style::accent().name();
    const QString accentDark = Style::accentDark().name();
    const QString text = Style::text().name();
    const QString line = Style::gridLine().name();
    const QString tint = Style::groupHeader().name();
    return QStringLiteral("QPushButton { background: #f5f5f5; color: %1; border: 1px solid %4;"
                          " border-radius: 3px; padding: 5px 12px; }"
                          "QPushButton:hover { background: #fdeee6; border-color: %2; }"
                          "QPushButton:pressed { background: #fbdccb; }"
                          "QPushButton:focus { border: 1px solid %2; }"
                          "QPushButton:checked { background: %5; border: 1px solid %2; }"
                          "QPushButton[role=\"save\"] { background: %2; color: white; border: 1px solid %3; }"
                          "QPushButton[role=\"save\"]:hover { background: %3; }"
                          "QPushButton[role=\"save\"]:focus { border: 2px solid %3; }"
                          "QToolButton { background: white; color: %1; border: 1px solid #d6d6d6;"
                          " border-radius: 4px; padding: 4px; }"
                          "QToolButton:hover { border-color: %2; }"
                          "QToolButton:checked { background: %5; border: 2px solid %2; }"
                          // After :checked, so that the keyboard's place shows on the pressed
                          // kind as well.
                          "QToolButton:focus { border: 2px dashed %3; }"
                          "QGroupBox { border: 1px solid %4; border-radius: 4px; margin-top: 10px;"
                          " padding-top: 8px; }"
                          "QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 4px;"
                          " color: %1; }"
                          "QListWidget { border: 1px solid %4; }"
                          "QListWidget::item { min-height: 22px; }"
                          "QListWidget::item:selected { background: %5; color: %1; }")
        .arg(text, accent, accentDark, line, tint);
}

} // namespace

void setUp(QDialog* dialog, QSize size)
{
    dialog->setModal(true);
    dialog->setFont(Style::bodyFont(13));
    dialog->setAutoFillBackground(true);
    QPalette colours = dialog->palette();
    colours.setColor(QPalette::Window, Qt::white);
    colours.setColor(QPalette::WindowText, Style::text());
    dialog->setPalette(colours);
    dialog->setStyleSheet(styleSheet());
    dialog->setFixedSize(size);
}

void centre(QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

QPushButton* button(const QString& caption, int tag, const QString& picture, QWidget* parent)
{
    auto* result = new QPushButton(Style::icon(picture, Style::text(), buttonPicture), caption, parent);
    result->setIconSize(buttonPicture);
    result->setAutoDefault(false);
    result->setCursor(Qt::PointingHandCursor);
    setTag(result, tag);
    return result;
}

QPushButton* saveButton(QWidget* parent)
{
    auto* result = button(QStringLiteral("Speichern"), CaptionTag::Save, QStringLiteral("save"), parent);
    result->setIcon(Style::icon(QStringLiteral("save"), Qt::white, buttonPicture));
    result->setProperty("role", QStringLiteral("save"));
    result->setDefault(true);
    result->setMinimumWidth(120);
    return result;
}

QPushButton* cancelButton(QWidget* parent)
{
    auto* result = button(QStringLiteral("Abbrechen"), CaptionTag::Cancel, QStringLiteral("cancel"), parent);
    result->setMinimumWidth(120);
    return result;
}

} // namespace DialogLook
