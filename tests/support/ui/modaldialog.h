#pragma once

#include <QDialog>
#include <QTimer>

#include <functional>

// Drives a modal dialog from a test: open() shows the dialog and waits in its own event loop, in
// which steps() runs; a dialog the steps leave open is cancelled, so that open() returns. Gives
// what open() returned.
template <typename Open> auto whileModal(QDialog& dialog, Open open, const std::function<void()>& steps)
{
    QTimer::singleShot(0, &dialog, [&dialog, steps] {
        steps();
        if (dialog.isVisible())
            dialog.reject();
    });
    return open();
}
