#pragma once

class QWidget;

// Gives every push button of window that has none an Alt+letter of its own: the first letter of one
// of its words where that is still free, else any free letter of its caption. The captions come from
// the catalogue in every language, so the letters are chosen afresh each time the window is translated.
void assignMnemonics(QWidget* window);
