#pragma once

#include <QSize>
#include <QString>

class QDialog;
class QPushButton;
class QWidget;

// What the modal dialogs share: a white window of fixed size, centred on the screen when it opens,
// and the "Speichern" and "Abbrechen" buttons at their foot.
namespace DialogLook {

// White background, the body font and the fixed size.
void setUp(QDialog* dialog, QSize size);
// Centres the window on the screen it opens on.
void centre(QWidget* window);

// A command button with its picture; it never turns into the dialog's default button by focus,
// so Enter always saves.
QPushButton* button(const QString& caption, int tag, const QString& picture, QWidget* parent);
// "Speichern" (Tag 31): the default button, in the brand colour, triggered by Enter.
QPushButton* saveButton(QWidget* parent);
// "Abbrechen" (Tag 32); Escape does the same.
QPushButton* cancelButton(QWidget* parent);

} // namespace DialogLook
