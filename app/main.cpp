#include <QApplication>
#include <QIcon>
#include <QTranslator>

#include <csignal>

#include "app/qtchinese.h"
#include "mainwin/frmdorvent.h"
#include "netwin/startup.h"

int main(int argc, char* argv[])
{
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);  // past a file-size limit a save fails with a message
#endif
    QApplication app(argc, argv);
    dorvent::nameTheProgram();
    QTranslator qtTexts;
    dorvent::installQtChinese(qtTexts);
    QGuiApplication::setDesktopFileName(QStringLiteral("org.dorvent.Dorvent"));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("org.dorvent.Dorvent"), QIcon(QStringLiteral(":/org.dorvent.Dorvent-256.png"))));
    dorvent::frmdorvent window;
    window.show();
    // The file a file manager hands over; a second file starts no second window.
    dorvent::startWith(window, app.arguments().mid(1, 1));
    return app.exec();
}
