#pragma once

#include <QByteArray>
#include <QString>

// Text for the terminal in UTF-8, with every control character but the line feed and the tab (which
// only separate columns) written as an escape ("\x1b", "\u009b", "\u202e"). Labels come from items
// files that may have been received from a gateway or edited by hand; printed raw, an escape
// sequence in one could move the cursor, rewrite earlier lines or change the terminal's settings,
// and a direction override could make a line read other than it is.
QByteArray TerminalText(const QString& text);
