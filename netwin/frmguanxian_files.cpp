// The pipeline window's files: opening and saving the document, asking about unsaved changes,
// the exports and the printed report.

#include <QCloseEvent>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QThread>

#include "mainwin/messageservice.h"
#include "netwin/filedialog.h"
#include "report/calcreport.h"
#include "report/filewrite.h"
#include "netwin/frmguanxian.h"
#include "pipeline/casetext.h"
#include "pipeline/nodetable.h"
#include "pipeline/pipelinefile.h"
#include "netwin/pipelinemodel.h"
#include "pipeline/pipelinetable.h"
#include "report/profilechart.h"
#include "netwin/profileview.h"

namespace dorvent {
namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

QByteArray bytesOf(const std::string& text) { return {text.data(), static_cast<qsizetype>(text.size())}; }

void cannotWrite(const QString& path, const QString& why = {})
{
    const QString name = QFileInfo(path).fileName();
    showMessage(why.isEmpty() ? QStringLiteral("无法写入文件 %1").arg(name) : QStringLiteral("无法写入文件 %1：%2").arg(name, why));
}

/// Runs work on a thread of its own and waits for it, the windows drawn meanwhile but taking no
/// input; after half a second a dialog says what is going on.
bool inBackground(QWidget* parent, const QString& what, std::function<bool()> work)
{
    bool done = false;
    std::unique_ptr<QThread> thread(QThread::create([&done, &work] { done = work(); }));
    QProgressDialog progress(what, QString(), 0, 0, parent);
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(500);
    progress.setCancelButton(nullptr);
    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();  // the loop also ends when the program quits
    return done;
}

}  // namespace

bool frmguanxian::maybeSave()
{
    // A cell still being edited ends first: its text is a change asked about, not one made after the answer.
    if (QWidget* focus = focusWidget(); focus != nullptr && focus->hasFocus()) focus->clearFocus();
    if (model_->undoStack()->isClean()) return true;
    const QString name = filePath_.isEmpty() ? QStringLiteral("未命名") : QFileInfo(filePath_).fileName();
    switch (askToSave(QStringLiteral("管线“%1”有未保存的修改。是否保存？").arg(name), QStringLiteral("管线计算"))) {
    case SaveChoice::save: return save();
    case SaveChoice::discard: return true;
    case SaveChoice::cancel: break;
    }
    return false;
}

void frmguanxian::closeEvent(QCloseEvent* event)
{
    if (!maybeSave()) {
        event->ignore();
        return;
    }
    if (!model_->undoStack()->isClean()) {  // 不保存: what was saved comes back, not the changes declined
        model_->resetDocument(saved_);
        updateTitle();
    }
    recovery_.remove();
    autosaved_.reset();
    keepLayout();
    event->accept();
}

void frmguanxian::open()
{
    if (!maybeSave()) return;
    const QString path = askOpenPath(this, QStringLiteral("打开管线文件"), startFolder(), QStringLiteral("Dorvent 管线文件 (*.dorvent)"));
    if (!path.isEmpty()) openFile(path);
}

std::optional<PipelineDocument> readDocumentFile(const QString& path, std::string& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = "无法读取该文件";
        return std::nullopt;
    }
    if (file.size() > static_cast<qint64>(kMostFileBytes)) {
        error = tooLargeMessage();
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    PipelineFileRead read = readPipelineFile(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    error = read.error;
    return read.document;
}

bool frmguanxian::openFile(const QString& path)
{
    std::string error;
    const std::optional<PipelineDocument> read = readDocumentFile(path, error);
    if (!read) {
        showMessage(QStringLiteral("无法打开管线文件 %1：\r\n%2").arg(QFileInfo(path).fileName(), qs(error)));
        return false;
    }
    model_->resetDocument(*read);
    saved_ = *read;
    filePath_ = path;
    updateTitle();
    documentTaken(path);
    return true;
}

bool frmguanxian::save() { return filePath_.isEmpty() ? saveAs() : saveFile(filePath_); }

bool frmguanxian::saveAs()
{
    QString path = askSavePath(this, QStringLiteral("保存管线文件"), filePath_.isEmpty() ? startFolder() : filePath_,
                               QStringLiteral("Dorvent 管线文件 (*.dorvent)"));
    if (path.isEmpty()) return false;
    if (!path.endsWith(QStringLiteral(".dorvent"))) path += QStringLiteral(".dorvent");
    return saveFile(path);
}

bool frmguanxian::saveFile(const QString& path)
{
    if (!writeAtomically(path, bytesOf(writePipelineFile(model_->document())))) {
        showMessage(QStringLiteral("无法保存管线文件 %1").arg(QFileInfo(path).fileName()));
        return false;
    }
    filePath_ = path;
    saved_ = model_->document();
    model_->undoStack()->setClean();
    updateTitle();
    documentTaken(path);
    return true;
}

QString frmguanxian::exportPath(const QString& caption, const QString& filter, const QString& ending)
{
    const QString base = filePath_.isEmpty() ? QStringLiteral("管线") : QFileInfo(filePath_).completeBaseName();
    QString path = askSavePath(this, caption, QDir(startFolder()).filePath(base + ending), filter);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) path += "." + QFileInfo(ending).suffix();
    return path;
}

bool frmguanxian::exportCsv(const QString& path)
{
    // The byte-order mark tells spreadsheet programs that the Chinese headers are UTF-8.
    return exportTo(path, [this](const QString& target) {
        return writeAtomically(target, bytesOf("\xEF\xBB\xBF" + casesCsv(model_->document(), model_->results(), false)));
    });
}

bool frmguanxian::exportNodesCsv(const QString& path)
{
    return exportTo(path, [this](const QString& target) {
        return writeAtomically(target, bytesOf("\xEF\xBB\xBF" + casesCsv(model_->document(), model_->results(), true)));
    });
}

bool frmguanxian::exportChart(const QString& path)
{
    return exportTo(path, [this](const QString& target) {
        return saveProfile(chtpoumian->data(), target);
    });
}

bool frmguanxian::exportReport(const QString& path)
{
    return exportTo(path, [this](const QString& target) {
        // A long report takes a while to lay out: off the window's thread, which goes on drawing.
        return inBackground(this, QStringLiteral("正在写出计算书…"),
                            // The design case, whatever case the window shows: the report gives the others after it.
                            [document = model_->document(), result = model_->results().front(), to = profileNodeIndex(), target] {
                                return writeReportPdf(document, result, target, to);
                            });
    });
}

bool frmguanxian::exportTo(const QString& path, const std::function<bool(const QString&)>& write)
{
    if (const QString problem = targetProblem(path, filePath_); !problem.isEmpty()) {
        cannotWrite(path, problem);
        return false;
    }
    if (write(path)) return true;
    cannotWrite(path);
    return false;
}

void frmguanxian::printPreview()
{
    const QString date = reportDate();
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this, &date](QPrinter* target) {
        printReport(model_->document(), model_->results().front(), date, *target, profileNodeIndex());
    });
    preview.exec();
}

}  // namespace dorvent
