#pragma once

#include <QString>

class QWidget;

namespace dorvent {

/// A file to open or to write, asked for as the platform asks; empty when the user cancels. Where
/// the desktop offers no dialog of its own, Qt's dialog shows the type, size and date columns in
/// Chinese, which Qt's translations and the system's locale may leave in English.
QString askOpenPath(QWidget* parent, const QString& caption, const QString& folder, const QString& filter);
/// start: the folder, or the file proposed in it.
QString askSavePath(QWidget* parent, const QString& caption, const QString& start, const QString& filter);

}  // namespace dorvent
