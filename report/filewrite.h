#pragma once

#include <functional>

#include <QByteArray>
#include <QString>

class QIODevice;

namespace dorvent {

/// Why the program will not write a file of its own at target, or empty: a folder is no file,
/// and the pipeline file that is being written out (document, empty when there is none) is
/// never overwritten by one of its exports.
QString targetProblem(const QString& target, const QString& document);

/// Replaces the file at path at once by what write puts into the device: the bytes go to a
/// temporary file beside it, which takes the file's name only when all of them are written.
/// A failure of any kind (a full disk, a size limit, a folder that cannot be written) leaves
/// the old file byte for byte and gives false. write gives false for a failure of its own.
/// A device (/dev/full, a terminal) is written directly, as it cannot be replaced; a pipe or a
/// socket is refused, as writing to it could wait for ever.
bool writeAtomically(const QString& path, const std::function<bool(QIODevice&)>& write);
bool writeAtomically(const QString& path, const QByteArray& bytes);

}  // namespace dorvent
