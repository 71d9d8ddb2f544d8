#include <QApplication>

#include "mainwin/frmdorvent.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    dorvent::frmdorvent window;
    window.show();
    return app.exec();
}
