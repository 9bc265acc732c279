#include "mnemonics.h"

#include <QPushButton>
#include <QSet>
#include <QWidget>

namespace {

// The letter after a single "&", as Qt reads a mnemonic; a null QChar when there is none.
QChar mnemonicOf(const QString& text)
{
    for (qsizetype at = text.indexOf(u'&'); at >= 0 && at + 1 < text.size();
         at = text.indexOf(u'&', at + 2)) {
        if (text.at(at + 1) != u'&')
            return text.at(at + 1).toLower();
    }
    return {};
}

// Where in text the mnemonic goes: word starts first, then any letter; -1 when every letter is taken.
qsizetype freePosition(const QString& text, const QSet<QChar>& taken)
{
    const auto free = [&](qsizetype at) {
        return text.at(at).isLetterOrNumber() && !taken.contains(text.at(at).toLower());
    };
    for (qsizetype at = 0; at < text.size(); ++at) {
        if ((at == 0 || text.at(at - 1).isSpace()) && free(at))
            return at;
    }
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (free(at))
            return at;
    }
    return -1;
}

} // namespace

void assignMnemonics(QWidget* window)
{
    // The dialogs that the window owns have letters of their own.
    QList<QPushButton*> buttons = window->findChildren<QPushButton*>();
    buttons.removeIf([window](const QPushButton* button) { return button->window() != window; });
    QSet<QChar> taken;
    for (const QPushButton* button : buttons) {
        if (const QChar letter = mnemonicOf(button->text()); !letter.isNull())
            taken.insert(letter);
    }
    for (QPushButton* button : buttons) {
        const QString text = button->text();
        if (text.isEmpty() || text.contains(u'&'))
            continue;
        const qsizetype at = freePosition(text, taken);
        if (at < 0)
            continue;
        taken.insert(text.at(at).toLower());
        button->setText(text.left(at) + u'&' + text.mid(at));
    }
}
