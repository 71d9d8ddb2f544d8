// The pipeline window as a desktop document: the files opened last, files dropped onto the
// window, the window's size and splitters, and the copy of unsaved changes kept against a crash.

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QSplitter>
#include <QTimer>

#include "mainwin/messageservice.h"
#include "netwin/frmguanxian.h"
#include "netwin/pipelinemodel.h"
#include "netwin/recentfiles.h"

namespace dorvent {
namespace {

const QString kGeometry = QStringLiteral("pipelineWindow/geometry");
const QString kSplitters = QStringLiteral("pipelineWindow/splitters");
const QString kLastFolder = QStringLiteral("lastFolder");

/// The one pipeline file among dropped things, if that is what they are.
QString droppedFile(const QMimeData* data)
{
    if (data == nullptr || data->urls().size() != 1 || !data->urls().front().isLocalFile()) return {};
    const QString path = data->urls().front().toLocalFile();
    return path.endsWith(QStringLiteral(".dorvent"), Qt::CaseInsensitive) ? path : QString();
}

}  // namespace

void frmguanxian::fillRecentFiles()
{
    mzuijin->clear();
    const QStringList files = recentFiles();
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        // The folder too, so that two files of one name can be told apart; a long one cut in its middle.
        const QString folder = QDir::toNativeSeparators(QFileInfo(path).absolutePath());
        const QString shown = mzuijin->fontMetrics().elidedText(folder, Qt::ElideMiddle, 420);
        const auto plain = [](QString text) { return text.replace('&', QStringLiteral("&&")); };  // no & taken for a letter
        QAction* entry =
            mzuijin->addAction(QStringLiteral("&%1 %2（%3）").arg(i + 1).arg(plain(QFileInfo(path).fileName()), plain(shown)));
        entry->setToolTip(path);
        entry->setStatusTip(path);
        connect(entry, &QAction::triggered, this, [this, path] { openRecent(path); });
    }
    mzuijin->setEnabled(!files.isEmpty());
}

void frmguanxian::openRecent(const QString& path)
{
    if (!QFileInfo(path).isFile()) {
        forgetRecentFile(path);
        fillRecentFiles();
        showMessage(QStringLiteral("找不到文件 %1，已将它从最近打开的文件中移去").arg(path));
        return;
    }
    if (maybeSave()) openFile(path);
}

/// A file opened or saved: first among the recent ones, and its folder the next dialogs' start.
void frmguanxian::documentTaken(const QString& path)
{
    rememberRecentFile(path);
    QSettings().setValue(kLastFolder, QFileInfo(path).absolutePath());
    fillRecentFiles();
}

QString frmguanxian::startFolder() const
{
    return filePath_.isEmpty() ? QSettings().value(kLastFolder).toString() : QFileInfo(filePath_).path();
}

void frmguanxian::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void frmguanxian::dropEvent(QDropEvent* event)
{
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    // Not while the drop is under way: the question about unsaved changes is a modal box.
    QTimer::singleShot(0, this, [this, path] {
        if (maybeSave()) openFile(path);
    });
}

void frmguanxian::restoreLayout()
{
    const QSettings settings;
    if (settings.contains(kGeometry)) restoreGeometry(settings.value(kGeometry).toByteArray());
    const QList<QVariant> sizes = settings.value(kSplitters).toList();
    const QList<QSplitter*> splitters = findChildren<QSplitter*>();
    for (qsizetype i = 0; i < std::min(sizes.size(), splitters.size()); ++i) {
        splitters[i]->restoreState(sizes[i].toByteArray());
    }
}

void frmguanxian::keepLayout() const
{
    QSettings settings;
    settings.setValue(kGeometry, saveGeometry());
    QList<QVariant> sizes;
    for (const QSplitter* splitter : findChildren<QSplitter*>()) sizes.append(splitter->saveState());
    settings.setValue(kSplitters, sizes);
}

void frmguanxian::autosave()
{
    if (model_->undoStack()->isClean() || autosaved_ == model_->document()) return;
    if (recovery_.write(model_->document(), filePath_)) autosaved_ = model_->document();
}

void frmguanxian::cleanChanged(bool clean)
{
    updateTitle();
    if (!clean) return;
    recovery_.remove();  // saved, or back to what was saved: nothing to recover
    autosaved_.reset();
}

void frmguanxian::recover(const LeftCopy& copy)
{
    std::string error;
    const std::optional<PipelineDocument> onDisk = copy.origin.isEmpty() ? std::nullopt : readDocumentFile(copy.origin, error);
    saved_ = onDisk ? *onDisk : withMainState({.segments = {PipelineSegment{}}});
    model_->resetDocument(saved_);
    filePath_ = copy.origin;
    model_->changeDocument(copy.document, QStringLiteral("恢复"));
    updateTitle();
    autosave();  // kept again at once: the copy it came from goes
}

}  // namespace dorvent
