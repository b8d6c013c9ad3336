// Vantorix: a front-end for Game Boy and Game Boy Color emulators. The
// command: help, version, --scan and --info run here, on the core library
// alone; a start with windows is handed to the window program, so that a
// scan never waits on the loading of the windows' libraries.
#include "app/CommandLine.h"
#include "app/Translations.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

int main(int argc, char **argv)
{
    const bool wantsWindow = !vantorix::wantsNoWindow(vantorix::rawArguments(argc, argv));
    QByteArray windowProgram;
    int execError = ENOENT;
    if (wantsWindow) {
        windowProgram = vantorix::windowProgramPath();
        if (!windowProgram.isEmpty()) {
            ::execv(windowProgram.constData(), argv);
            execError = errno;
        }
    }
    QCoreApplication core(argc, argv);
    vantorix::installTranslations();
    if (wantsWindow) {
        std::fprintf(stderr, "kelpad: %s\n",
                     qUtf8Printable(QCoreApplication::translate("kelpad", "the window program cannot be started: %1")
                                        .arg(QString::fromLocal8Bit(std::strerror(execError)))));
        return 1;
    }
    try {
        return vantorix::runWithoutWindow(vantorix::parseCommandLine(vantorix::rawArguments(argc, argv)));
    } catch (const std::bad_alloc &) {
        std::fprintf(stderr, "kelpad: %s\n", qUtf8Printable(QCoreApplication::translate("kelpad", "not enough memory")));
        return 1;
    }
}
