#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Programs started without a shell, their words byte for byte, and reaped
// on the event loop when they end.
namespace vantorix {

// The executable that program names: itself when it is a path, the match on
// PATH (or in the games folders) when it is a bare name. Empty when there
// is none.
QString findExecutable(const QString &program);

// Starts the executable that program names with these arguments, in a
// session of its own and without a shell, its file names byte for byte.
// Returns why it could not start ("Cannot start "x": ..."), or nothing.
// ended, when given, is called on the event loop of the calling thread
// once the program ends, with how long it ran in milliseconds; either
// way the program is reaped then, never left a zombie.
QString spawnProgram(const QString &program, const QStringList &arguments,
                     std::function<void(qint64 ranMs)> ended = {});

// Whether a program of this user's is running with path among its
// arguments (an emulator started by another program, a file manager's
// kelpad among them), as /proc tells it.
bool isArgumentOfRunningProgram(const QString &path);

}  // namespace vantorix
