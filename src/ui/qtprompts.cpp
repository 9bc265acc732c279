#include "qtprompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QRegularExpression>

namespace {

QString boxTitle()
{
    return QStringLiteral("Varuno Builder");
}

QMessageBox::StandardButton ask(QMessageBox::Icon icon, const QString& text,
                                QMessageBox::StandardButtons buttons, QWidget* parent,
                                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
                                const QString& details = {})
{
    QMessageBox box(icon, boxTitle(), text, buttons, parent);
    box.setDetailedText(details);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    // Closing the box without an answer must never go ahead.
    if (buttons.testFlag(QMessageBox::No))
        box.setEscapeButton(QMessageBox::No);
    return QMessageBox::StandardButton(box.exec());
}

// "CSV-Datei (*.csv)" gives "csv".
QString firstSuffix(const QString& filter)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([^\\s;)]+)"));
    const QRegularExpressionMatch match = pattern.match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

} // namespace

QWidget* QtPrompts::owner()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

void QtPrompts::error(const QString& text)
{
    ask(QMessageBox::Critical, text, QMessageBox::Ok, owner());
}

void QtPrompts::information(const QString& text)
{
    ask(QMessageBox::Information, text, QMessageBox::Ok, owner());
}

bool QtPrompts::confirm(const QString& text, Default defaultButton)
{
    return ask(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No, owner(),
               defaultButton == Default::No ? QMessageBox::No : QMessageBox::Yes) != QMessageBox::No;
}

bool QtPrompts::confirmWithDetails(const QString& text, const QString& details)
{
    return ask(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No, owner(), QMessageBox::Yes,
               details) != QMessageBox::No;
}

bool QtPrompts::errorYesNo(const QString& text)
{
    return ask(QMessageBox::Critical, text, QMessageBox::Yes | QMessageBox::No, owner()) != QMessageBox::No;
}

bool QtPrompts::textPrompt(const QString& caption, const QString& prompt, QString& value)
{
    bool ok = false;
    const QString typed = QInputDialog::getText(owner(), caption, prompt, QLineEdit::Normal, value, &ok);
    if (ok)
        value = typed;
    return ok;
}

bool QtPrompts::choose(const QString& caption, const QString& prompt, const QStringList& items, int& index)
{
    bool ok = false;
    const QString picked = QInputDialog::getItem(owner(), caption, prompt, items, 0, false, &ok);
    if (ok)
        index = int(items.indexOf(picked));
    return ok && index >= 0;
}

QString QtPrompts::folderName(const QString& title, const QString& proposal)
{
    return QFileDialog::getExistingDirectory(owner(), title, proposal);
}

QString QtPrompts::openFileName(const QString& title, const QString& proposal, const QString& filter)
{
    return QFileDialog::getOpenFileName(owner(), title, proposal, filter);
}

QString QtPrompts::saveFileName(const QString& title, const QString& defaultName, const QString& filter)
{
    QFileDialog dialog(owner(), title, defaultName, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(firstSuffix(filter));
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
