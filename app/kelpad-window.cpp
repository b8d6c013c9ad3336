// Vantorix: a front-end for Game Boy and Game Boy Color emulators. The
// program of the windows, started by the command "kelpad" (which runs what
// needs no window by itself, without loading the windows' libraries).
#include "commands/CommandLine.h"
#include "widgets/Fonts.h"
#include "app/Forms.h"
#include "platform/Translations.h"
#include "app/Unit1.h"
#include "library/GameStart.h"
#include "downloads/GameNameDownloads.h"
#include "downloads/PictureDownloads.h"
#include "names/GameDatabase.h"
#include "platform/ShownText.h"
#include "platform/TerminalText.h"
#include "reading/Catalogue.h"
#include "platform/MemoryArenas.h"
#include "platform/TimeZone.h"

#include <QApplication>
#include <QEventLoop>

#include <cstring>
#include <vector>

namespace {

// kelpad --get-names: the game names fetched (no question: the user asked),
// what came of each file said.
int getGameNames(vantorix::Catalogue &catalogue)
{
    vantorix::GameNameDownloads downloads(vantorix::userDatFolder(), &catalogue.executor());
    int status = 0;
    QEventLoop loop;
    downloads.fetch(false, [&](const vantorix::GameNameDownloads::Outcome &outcome) {
        for (const QString &file : outcome.fetched)
            vantorix::printMessage(stdout, QCoreApplication::translate("kelpad", "%1: downloaded").arg(file));
        for (const QString &failure : outcome.failures)
            vantorix::printMessage(stderr, QCoreApplication::translate("kelpad", "Game names not downloaded: %1")
                                               .arg(vantorix::withoutControlCharacters(failure)));
        status = outcome.failures.isEmpty() ? 0 : 1;
        loop.quit();
    });
    loop.exec();
    catalogue.waitForTasks();
    return status;
}

// What runs without a window (--info --download-pictures, handed over by
// the command because only this program loads the network's libraries):
// no display is needed.
int runWithoutDisplay(int argc, char **argv)
{
    QCoreApplication core(argc, argv);
    vantorix::installTranslations();
    vantorix::CommandLine line = vantorix::parseCommandLine(vantorix::rawArguments(argc, argv));
    vantorix::sortStartFiles(line);
    vantorix::Catalogue catalogue(line.datFiles);
    if (line.mode == vantorix::CommandLine::GetNames)
        return getGameNames(catalogue);
    catalogue.allowPictureDownloads(vantorix::PictureDownloads::maker());
    return vantorix::runWithoutWindow(line, catalogue);
}

}  // namespace

int main(int argc, char **argv)
{
    vantorix::settleTimeZone();
    const vantorix::CommandLine::Mode mode = vantorix::parseCommandLine(vantorix::rawArguments(argc, argv)).mode;
    if (mode == vantorix::CommandLine::Info || mode == vantorix::CommandLine::GetNames)
        return runWithoutDisplay(argc, argv);
    vantorix::useOneMemoryArena();
    // The toolkit takes its own options (-style, -platform, ...) out of the
    // arguments before "--"; what follows "--" is the program's alone.
    int toolkitArgc = argc;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            toolkitArgc = i;
            break;
        }
    }
    std::vector<char *> toolkitArgv(argv, argv + toolkitArgc);
    toolkitArgv.push_back(nullptr);
    // Every handler catches what it throws at its own edge (atHandlerEdge):
    // nothing crosses the event loop, so the toolkit's application serves.
    QApplication application(toolkitArgc, toolkitArgv.data());
    vantorix::installTranslations();
    QStringList arguments = vantorix::rawArguments(toolkitArgc, toolkitArgv.data());
    arguments += vantorix::rawArguments(argc, argv).mid(toolkitArgc);
    vantorix::CommandLine line = vantorix::parseCommandLine(arguments);
    vantorix::sortStartFiles(line);
    vantorix::Catalogue catalogue(line.datFiles);
    catalogue.allowPictureDownloads(vantorix::PictureDownloads::maker());
    if (line.mode != vantorix::CommandLine::Gui)
        return vantorix::runWithoutWindow(line, catalogue);
    QApplication::setApplicationName(QStringLiteral("kelpad"));
    QApplication::setDesktopFileName(QStringLiteral("eu.vantorix.Vantorix"));
    // The desktop's icon theme first, the built-in one where it has none.
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("eu.vantorix.Vantorix"),
                                                 QIcon(QStringLiteral(":/icons/vantorix.png"))));
    vantorix::installFontFallbacks();
    vantorix::createForms(catalogue);
    if (!line.configFile.isEmpty())
        Form1->setStartupFile(line.configFile);
    // ROMs opened from a file manager start without a window when they can.
    if (!line.romFiles.isEmpty() && Form1->startRoms(line.romFiles)) {
        // No window: the program waits for the emulators, unseen, to count
        // the time each game was played when it ends.
        if (Form1->starter().running() > 0) {
            QObject::connect(&Form1->starter(), &vantorix::GameStarter::allEnded, &application, &QCoreApplication::quit);
            QApplication::exec();
        }
        catalogue.waitForTasks();
        vantorix::destroyForms();
        return 0;
    }
    Form1->setOpensLibrary(line.library);
    Form1->show();
    // The library comes first, the main window behind it.
    if (line.library)
        Form1->showLibrary();
    const int status = QApplication::exec();
    catalogue.waitForTasks();
    vantorix::destroyForms();
    return status;
}
