#include "netwin/startup.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "mainwin/frmdorvent.h"
#include "mainwin/messageservice.h"
#include "netwin/frmguanxian.h"
#include "netwin/recoverycopy.h"

namespace dorvent {
namespace {

void showWindow(frmguanxian* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

/// The window for one more document: the pipeline window, unless it already holds one.
frmguanxian* freeWindow(frmdorvent& main)
{
    frmguanxian* window = main.pipelineWindow();
    return window->isVisible() ? main.anotherPipelineWindow() : window;
}

void offerRecovery(frmdorvent& main)
{
    for (const LeftCopy& copy : leftCopies()) {
        const QString name = copy.origin.isEmpty() ? QStringLiteral("未命名") : QFileInfo(copy.origin).fileName();
        const QString question = QStringLiteral("管线“%1”有未保存的修改，程序上次未能正常退出。\r\n自动保存于 %2。是否恢复？")
                                     .arg(name, copy.written.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        if (askToRecover(question, QStringLiteral("恢复管线"))) {
            frmguanxian* window = freeWindow(main);
            window->recover(copy);
            showWindow(window);
        }
        removeLeftCopy(copy);
    }
}

}  // namespace

void nameTheProgram()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Dorvent"));
    QCoreApplication::setApplicationName(QStringLiteral("dorvent"));
}

void startWith(frmdorvent& main, const QStringList& files)
{
    offerRecovery(main);
    if (files.isEmpty()) return;
    frmguanxian* window = freeWindow(main);
    if (window->openFile(files.front())) showWindow(window);
}

}  // namespace dorvent
