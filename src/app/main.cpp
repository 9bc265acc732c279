#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QLabel placeholder(QStringLiteral("Varuno Builder"));
    placeholder.setWindowTitle(QStringLiteral("Varuno Builder " VARUNO_VERSION));
    placeholder.resize(400, 200);
    placeholder.show();
    return app.exec();
}
