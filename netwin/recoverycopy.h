#pragma once

#include <QDateTime>
#include <QString>

#include <memory>
#include <vector>

#include "pipeline/pipelinedocument.h"

class QLockFile;

namespace dorvent {

/// A copy of one window's unsaved document, written now and then so that a crash or a power
/// cut loses little. Each copy has a folder of its own under the program's data folder, locked
/// for as long as its program runs, so that two running programs never take each other's.
class RecoveryCopy {
public:
    RecoveryCopy();
    ~RecoveryCopy();  ///< removes the copy: the program ends in order
    RecoveryCopy(const RecoveryCopy&) = delete;
    RecoveryCopy& operator=(const RecoveryCopy&) = delete;

    /// Writes the document whole or not at all; origin is the file it belongs to, empty when
    /// untitled. False when the copy cannot be written.
    bool write(const PipelineDocument& document, const QString& origin);
    /// Removes the copy: its document was saved, discarded or closed.
    void remove();
    /// The folder of the copy, empty until it is first written.
    QString folder() const { return folder_; }

private:
    QString folder_;
    std::unique_ptr<QLockFile> lock_;
};

/// A copy left behind by a program that ended without closing its document.
struct LeftCopy {
    QString folder;
    QString origin;       ///< the document's own file, empty when it was untitled
    QDateTime written;
    PipelineDocument document;
    std::shared_ptr<QLockFile> lock;  ///< held while the copy is offered, so that no other program offers it too
};

/// The copies whose programs no longer run, oldest first. Copies that cannot be read are
/// removed: they hold nothing that could be recovered.
std::vector<LeftCopy> leftCopies();

/// Removes a copy once it was recovered or declined.
void removeLeftCopy(const LeftCopy& copy);

/// Seconds between two copies: 60, or DORVENT_AUTOSAVE_SECONDS for tests.
int autosaveSeconds();

}  // namespace dorvent
