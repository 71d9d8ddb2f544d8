#include "netwin/recoverycopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QUuid>

#include <algorithm>

#include "pipeline/pipelinefile.h"
#include "report/filewrite.h"

namespace dorvent {
namespace {

const QString kDocument = QStringLiteral("document.dorvent");
const QString kOrigin = QStringLiteral("origin");
const QString kLock = QStringLiteral("lock");

QString recoveryRoot()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/recovery");
}

/// A lock that only a running program holds: a crashed one's is taken over at once.
std::unique_ptr<QLockFile> lockOf(const QString& folder)
{
    auto lock = std::make_unique<QLockFile>(QDir(folder).filePath(kLock));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) return nullptr;
    return lock;
}

void removeFolder(const QString& folder, QLockFile* lock)
{
    QDir dir(folder);
    dir.remove(kDocument);
    dir.remove(kOrigin);
    if (lock != nullptr) lock->unlock();  // last, so that nobody takes a half-removed copy
    QDir().rmdir(folder);
}

QByteArray bytesOf(const std::string& text) { return {text.data(), static_cast<qsizetype>(text.size())}; }

}  // namespace

RecoveryCopy::RecoveryCopy() = default;

RecoveryCopy::~RecoveryCopy() { remove(); }

bool RecoveryCopy::write(const PipelineDocument& document, const QString& origin)
{
    if (folder_.isEmpty()) {
        const QString folder = recoveryRoot() + QLatin1Char('/') + QUuid::createUuid().toString(QUuid::WithoutBraces);
        if (!QDir().mkpath(folder)) return false;
        lock_ = lockOf(folder);
        if (lock_ == nullptr) return false;
        folder_ = folder;
    }
    const QDir dir(folder_);
    return writeAtomically(dir.filePath(kOrigin), origin.toUtf8()) &&
           writeAtomically(dir.filePath(kDocument), bytesOf(writePipelineFile(document)));
}

void RecoveryCopy::remove()
{
    if (folder_.isEmpty()) return;
    removeFolder(folder_, lock_.get());
    lock_.reset();
    folder_.clear();
}

std::vector<LeftCopy> leftCopies()
{
    std::vector<LeftCopy> found;
    const QDir root(recoveryRoot());
    for (const QString& name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString folder = root.filePath(name);
        std::shared_ptr<QLockFile> lock = lockOf(folder);
        if (lock == nullptr) continue;  // its program still runs
        QFile document(QDir(folder).filePath(kDocument));
        QFile origin(QDir(folder).filePath(kOrigin));
        std::optional<PipelineDocument> read;
        if (document.size() <= static_cast<qint64>(kMostFileBytes) && document.open(QIODevice::ReadOnly) &&
            origin.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = document.readAll();
            read = readPipelineFile(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))).document;
        }
        if (!read) {  // the program ended before its first copy was whole
            removeFolder(folder, lock.get());
            continue;
        }
        found.push_back({folder, QString::fromUtf8(origin.readAll()), QFileInfo(document).lastModified(), *read, lock});
    }
    std::sort(found.begin(), found.end(), [](const LeftCopy& a, const LeftCopy& b) { return a.written < b.written; });
    return found;
}

void removeLeftCopy(const LeftCopy& copy) { removeFolder(copy.folder, copy.lock.get()); }

int autosaveSeconds()
{
    const int seconds = qEnvironmentVariableIntValue("DORVENT_AUTOSAVE_SECONDS");
    return seconds > 0 ? seconds : 60;
}

}  // namespace dorvent
