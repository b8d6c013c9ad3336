#pragma once

#include "platform/ProgramStart.h"

#include <QString>

// Stand-in for the desktop shell's open service: starts a program with a
// parameter text, or opens a document or address with the desktop's
// default handler, and returns without waiting. Returns true when the start
// was handed on; a failure is shown in the application's error box.
//
// An executable (a path, or a bare name found on PATH) is started detached
// with the parameter text as one argument, without a shell. An empty folder
// leaves the working folder as it is. The show command is accepted for the
// callers' sake; the started program decides how its window is shown.
bool ShellRunFile(const QString &program, const QString &parameters, const QString &folder,
                  int showCommand);

namespace vantorix {

// Starts the executable that program names with these arguments, detached
// and without a shell. A program that cannot be found or started is
// reported in the error box, or, given failure, only said there. Returns
// whether it started.
bool startProgram(const QString &program, const QStringList &arguments, QString *failure = nullptr);


// The process-wide random generator, seeded from the time of day.
void seedRandomGenerator();
int randomBelow(int bound);

}  // namespace vantorix
