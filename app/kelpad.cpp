// Vantorix: a front-end for Game Boy and Game Boy Color emulators. The
// command: help, version, --scan and --info run here, on the core library
// alone; a start with windows, or a download, is handed to the window
// program, so that a scan never waits on the loading of the windows' or the
// network's libraries.
#include "commands/CommandLine.h"
#include "platform/IoError.h"
#include "platform/TerminalText.h"
#include "platform/TimeZone.h"
#include "platform/Translations.h"
#include "reading/Catalogue.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    vantorix::settleTimeZone();
    // Every option is checked here, before any window program (and its
    // display) is started: a mistyped option is a usage error, not an abort
    // for want of a display.
    vantorix::CommandLine line = vantorix::parseCommandLine(vantorix::rawArguments(argc, argv));
    // One file (a file manager's double click) is told ROM or configuration
    // by the window program alone: its head is not read here too. Several
    // are, here, as only one of them may be a configuration.
    if (line.startFiles.size() > 1)
        vantorix::sortStartFiles(line);
    QByteArray windowProgram;
    int execError = ENOENT;
    // Downloads too: the network's libraries are the window program's.
    const bool handedOver = line.mode == vantorix::CommandLine::Gui || line.mode == vantorix::CommandLine::GetNames
                            || (line.mode == vantorix::CommandLine::Info && line.downloadPictures);
    if (handedOver) {
        windowProgram = vantorix::windowProgramPath();
        if (!windowProgram.isEmpty()) {
            struct stat st;
            if (::stat(windowProgram.constData(), &st) == 0 && S_ISDIR(st.st_mode)) {
                execError = EISDIR;
            } else {
                ::execv(windowProgram.constData(), argv);
                execError = errno;
            }
        }
    }
    QCoreApplication core(argc, argv);
    vantorix::installTranslations();
    if (handedOver) {
        const QString reason = execError == EISDIR ? vantorix::IoError::fromErrno(EISDIR).text()
                                                   : QString::fromLocal8Bit(std::strerror(execError));
        vantorix::printMessage(stderr, QCoreApplication::translate("kelpad", "the window program cannot be started: %1")
                                           .arg(reason));
        return 1;
    }
    try {
        // Parsed again: the usage error's texts in the user's language.
        vantorix::CommandLine translated = vantorix::parseCommandLine(vantorix::rawArguments(argc, argv));
        vantorix::sortStartFiles(translated);
        vantorix::Catalogue catalogue(translated.datFiles);
        return vantorix::runWithoutWindow(translated, catalogue);
    } catch (const std::bad_alloc &) {
        vantorix::printMessage(stderr, QCoreApplication::translate("kelpad", "not enough memory"));
        return 1;
    }
}
