#include "ui/qtprompts.h"
#include "ui/startup.h"
#include "ui/tfrmmain.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QtPrompts prompts;
    // The program folder is the one holding the program file, whatever the working directory.
    TStartup startup(QCoreApplication::applicationDirPath(), prompts);
    // Closing the main window, the only one not modal, ends the event loop and the program.
    startup.frmMain().show();
    return app.exec();
}
