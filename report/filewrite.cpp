#include "report/filewrite.h"

#include <QFile>
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

namespace {

/// Writes to a device in place: renaming a temporary file over it would replace the device.
bool writeDevice(const QString& path, const std::function<bool(QIODevice&)>& write)
{
    QFile device(path);
    return device.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && write(device);
}

}  // namespace

bool writeAtomically(const QString& path, const std::function<bool(QIODevice&)>& write)
{
    std::error_code error;
    const auto kind = std::filesystem::status(QFileInfo(path).filesystemFilePath(), error).type();
    if (kind == std::filesystem::file_type::character) return writeDevice(path, write);
    if (kind == std::filesystem::file_type::fifo || kind == std::filesystem::file_type::socket ||
        kind == std::filesystem::file_type::block) {
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    // The last bytes wait in the device's buffer: a failure to write them out does not reach
    // commit(), which would rename a shortened file over the old one.
    if (!write(file) || !file.flush()) {
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
