#include "netwin/recentfiles.h"

#include <QFileInfo>
#include <QSettings>

namespace dorvent {
namespace {

constexpr int kMostRecentFiles = 8;
const QString kKey = QStringLiteral("recentFiles");

void keep(const QStringList& files) { QSettings().setValue(kKey, files); }

}  // namespace

QStringList recentFiles() { return QSettings().value(kKey).toStringList().mid(0, kMostRecentFiles); }

void rememberRecentFile(const QString& path)
{
    const QString full = QFileInfo(path).absoluteFilePath();
    QStringList files = recentFiles();
    files.removeAll(full);
    files.prepend(full);
    keep(files.mid(0, kMostRecentFiles));
}

void forgetRecentFile(const QString& path)
{
    QStringList files = recentFiles();
    files.removeAll(path);
    keep(files);
}

}  // namespace dorvent
