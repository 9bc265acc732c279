#include "ui/mainwindow.h"
#include "ui/qtprompts.h"
#include "ui/startup.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QtPrompts prompts;
    // The program folder is the one holding the program file, whatever the working directory.
    Startup startup(QCoreApplication::applicationDirPath(), prompts);
    // Closing the main window, the only one not modal, ends the event loop and the program.
    startup.mainWindow().show();
    return app.exec();
}
