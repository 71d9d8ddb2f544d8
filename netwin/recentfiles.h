#pragma once

#include <QStringList>

namespace dorvent {

/// The files opened or saved last, newest first, at most eight, kept in the program's settings.
QStringList recentFiles();
/// Puts a file first among the recent ones.
void rememberRecentFile(const QString& path);
/// Takes a file out of the recent ones: it is gone.
void forgetRecentFile(const QString& path);

}  // namespace dorvent
