// A program that edits a pipeline as its user would, for the tests of recovery after a crash.
// Arguments: "crash" or "close", and a pipeline file. It opens the file, changes the first
// label, waits for the recovery copy and prints its folder, changes the label once more and
// prints "edited". Then, with "crash", it takes no more events until it is killed; with
// "close", it closes the window without saving and ends.

#include <QApplication>
#include <QDeadlineTimer>
#include <QUndoStack>

#include <chrono>
#include <cstdio>
#include <thread>

#include "mainwin/frmdorvent.h"
#include "mainwin/messageservice.h"
#include "netwin/frmguanxian.h"
#include "netwin/pipelinemodel.h"
#include "netwin/startup.h"

namespace {

struct DiscardingMessages : dorvent::MessageService {
    void show(const QString& text, const QString&) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    dorvent::SaveChoice askToSave(const QString&, const QString&) override { return dorvent::SaveChoice::discard; }
    bool askToRecover(const QString&, const QString&) override { return false; }
};

void say(const QString& line) { std::printf("%s\n", line.toUtf8().constData()); std::fflush(stdout); }

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    dorvent::nameTheProgram();
    if (argc != 3) return 2;
    DiscardingMessages messages;
    dorvent::installMessageService(&messages);
    dorvent::frmdorvent main;
    main.show();
    dorvent::startWith(main, {QString::fromLocal8Bit(argv[2])});
    dorvent::frmguanxian* window = main.pipelineWindow();
    dorvent::PipelineModel* model = window->model();
    const QModelIndex label = model->index(0, 0);
    model->setData(label, QStringLiteral("自动保存前"));
    const QDeadlineTimer deadline(30000);
    while (window->recoveryCopy().folder().isEmpty() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    if (window->recoveryCopy().folder().isEmpty()) return 1;
    say(window->recoveryCopy().folder());
    model->setData(label, QStringLiteral("自动保存后"));
    say(QStringLiteral("edited"));
    if (QByteArrayView(argv[1]) == "crash")
        for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
    window->close();
    return model->undoStack()->isClean() ? 0 : 1;
}
