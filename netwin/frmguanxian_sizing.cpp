// The pipeline window's automatic sizing: the sizing on a thread of its own, its progress after
// half a second, and its proposal applied as one step that can be undone.

#include <QAction>
#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <memory>

#include "netwin/frmguanxian.h"
#include "netwin/pipelinemodel.h"
#include "netwin/sizingdialog.h"
#include "pipeline/pipesizing.h"

namespace dorvent {

std::optional<SizingResult> frmguanxian::runSizing(const PipelineDocument& document, bool telescoping)
{
    std::atomic<int> permille = 0;
    std::atomic<bool> stop = false;
    SizingOptions options{.telescoping = telescoping, .progress = [&](double done) {
                              permille = static_cast<int>(done * 1000);
                              return !stop;
                          }};
    SizingResult result;
    std::unique_ptr<QThread> thread(QThread::create([&] { result = sizeNetwork(document, options); }));
    thread->start();
    // Most networks are sized within half a second: only a longer sizing shows its progress.
    if (!thread->wait(kQuietSizingMs)) {
        QProgressDialog progress(QStringLiteral("正在自动选管…"), QStringLiteral("取消"), 0, 1000, this);
        progress.setObjectName(QStringLiteral("dlgjindu"));
        progress.setWindowTitle(QStringLiteral("自动选管"));
        progress.setWindowModality(Qt::ApplicationModal);
        progress.setAutoClose(false);
        progress.setAutoReset(false);
        progress.setMinimumDuration(0);
        QEventLoop loop;
        QTimer tick;
        connect(&tick, &QTimer::timeout, &progress, [&] {
            stop = stop || progress.wasCanceled();
            progress.setValue(permille);
        });
        connect(&progress, &QProgressDialog::canceled, &progress, [&] { stop = true; });
        connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
        tick.start(100);
        progress.show();
        if (!thread->isFinished()) loop.exec();
    }
    thread->wait();  // the loop also ends when the program quits
    if (result.outcome == SizingOutcome::cancelled) return std::nullopt;
    return result;
}

void frmguanxian::sizePipes()
{
    const PipelineDocument document = model_->document();
    SizingDialog dialog(document, [this, &document](bool telescoping) { return runSizing(document, telescoping); }, this);
    if (!dialog.propose()) return;
    if (dialog.exec() != QDialog::Accepted || dialog.result().outcome != SizingOutcome::sized) return;
    model_->changeDocument(dialog.result().document, QStringLiteral("自动选管"));
}

}  // namespace dorvent
