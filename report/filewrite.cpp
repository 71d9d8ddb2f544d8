#include "report/filewrite.h"

#include <QFileInfo>
#include <QSaveFile>

#include <filesystem>
#include <system_error>

namespace dorvent {

QString targetProblem(const QString& target, const QString& document)
{
    if (QFileInfo(target).isDir()) return QStringLiteral("这是一个文件夹，不是文件");
    // The same file under another name, through a link or a relative path, counts too.
    std::error_code error;
    if (!document.isEmpty() && std::filesystem::equivalent(QFileInfo(target).filesystemFilePath(),
                                                           QFileInfo(document).filesystemFilePath(), error)) {
        return QStringLiteral("这是管线文件本身，不能用导出的内容覆盖");
    }
    return {};
}

bool writeAtomically(const QString& path, const std::function<bool(QIODevice&)>& write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (!write(file)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();  // false after any failed write: the old file stays
}

bool writeAtomically(const QString& path, const QByteArray& bytes)
{
    return writeAtomically(path, [&bytes](QIODevice& device) { return device.write(bytes) == bytes.size(); });
}

}  // namespace dorvent
