#pragma once

#include <QStringList>

namespace dorvent {

class frmdorvent;

/// The names under which the program keeps its settings and its recovery copies.
void nameTheProgram();

/// What the program does once its main window shows: offers each document that a crashed
/// program left unsaved, then opens the pipeline file named on the command line, if any.
void startWith(frmdorvent& main, const QStringList& files);

}  // namespace dorvent
