#include <QApplication>
#include <QIcon>
#include <QTranslator>

#include <csignal>

#include "app/qtchinese.h"
#include "mainwin/frmdorvent.h"

int main(int argc, char* argv[])
{
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);  // past a file-size limit a save fails with a message
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("dorvent"));
    QTranslator qtTexts;
    dorvent::installQtChinese(qtTexts);
    QGuiApplication::setDesktopFileName(QStringLiteral("org.dorvent.Dorvent"));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("org.dorvent.Dorvent"), QIcon(QStringLiteral(":/org.dorvent.Dorvent-256.png"))));
    dorvent::frmdorvent window;
    window.show();
    return app.exec();
}
