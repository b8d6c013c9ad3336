#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// An emulator slot's text as a command line, split without a shell.
namespace vantorix {

// Splits text into words by the POSIX shell's quoting rules: blanks
// separate words; single quotes keep everything up to the next single
// quote; double quotes keep everything but let a backslash escape $, `, ",
// \ and a line end; outside quotes a backslash keeps the next character (a
// backslash and a line end vanish). Nothing is expanded: no variables,
// globs, tilde or commands. Returns false when a quote is left open.
bool splitCommandLine(const QString &text, QStringList *words);

// The words quoted so that splitCommandLine gives them back.
QString joinCommandLine(const QStringList &words);

struct EmulatorCommand {
    QString program;
    QStringList arguments;
};

// The command that starts the emulator of text with the ROM at romPath.
// When the whole text names an executable file (isExecutable), it is the
// program and the ROM its one argument, so paths with spaces keep working.
// Otherwise the text is split; the first word is the program; "%ROM%"
// inside any word stands for the ROM path, and where no word holds it the
// path is the last argument. Returns false when the text cannot be split.
bool emulatorCommand(const QString &text, const QString &romPath,
                     const std::function<bool(const QString &)> &isExecutable, EmulatorCommand *command);

}  // namespace vantorix
