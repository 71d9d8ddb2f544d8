#include <QApplication>
#include <QIcon>

#include "mainwin/frmdorvent.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("dorvent"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.dorvent.Dorvent"));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("org.dorvent.Dorvent"), QIcon(QStringLiteral(":/org.dorvent.Dorvent-256.png"))));
    dorvent::frmdorvent window;
    window.show();
    return app.exec();
}
