#include "commands/CommandLine.h"
#include "reading/Catalogue.h"

#include "reading/RomAdding.h"
#include "names/StartableRom.h"
#include "settings/ConfigurationFile.h"
#include "settings/LastConfiguration.h"
#include "library/GameSaves.h"
#include "library/LibraryAudit.h"
#include "library/LibraryList.h"
#include "library/LibraryScan.h"
#include "library/LibraryStore.h"
#include "platform/FilePath.h"
#include "platform/IoError.h"
#include "platform/ShownText.h"
#include "platform/TerminalText.h"
#include "names/GameDatabase.h"
#include "reading/RomScan.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <future>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantorix {

namespace {

const QString kEndOfOptions = QStringLiteral("--");

bool isOption(const QString &argument)
{
    return argument.startsWith(QLatin1Char('-')) && argument != QLatin1String("-");
}

// How many arguments from i on are an option of the toolkit's own (which
// the window program's toolkit takes, and the command accepts and leaves
// alone): 2 for one with its value, 1 for a flag or "-style=NAME", else 0.
int toolkitOptionLength(const QStringList &arguments, qsizetype i)
{
    static const char *const withValue[] = {
        "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "geometry",
        "qwindowtitle", "title", "qwindowicon", "icon", "session", "display", "style", "stylesheet",
        "name", "visual", "fontengine",
    };
    static const char *const flags[] = {"reverse", "nograb", "dograb", "widgetcount", "sync", "testability"};
    QString option = arguments.at(i);
    // The toolkit reads "--style" as "-style".
    option = option.mid(option.startsWith(QLatin1String("--")) ? 2 : 1);
    const qsizetype equals = option.indexOf(QLatin1Char('='));
    const QString name = equals < 0 ? option : option.left(equals);
    for (const char *known : withValue) {
        if (name == QLatin1String(known))
            return equals >= 0 ? 1 : i + 1 < arguments.size() ? 2 : 0;
    }
    if (name == QLatin1String("qmljsdebugger") && equals >= 0)
        return 1;
    for (const char *known : flags)
        if (option == QLatin1String(known))
            return 1;
    return 0;
}

}  // namespace

QString usageText()
{
    return QCoreApplication::translate("CommandLine",
        "Usage: kelpad [OPTIONS] [--] [FILE]\n"
        "       kelpad [--] ROM...\n"
        "       kelpad --scan DIR [--subfolders] [--names] [--mask MASK]\n"
        "       kelpad --info [--download-pictures] FILE...\n"
        "       kelpad --add ROM...\n"
        "       kelpad --library | --library-list\n"
        "       kelpad --library-add FOLDER... | --library-remove FOLDER...\n"
        "       kelpad --library-missing [DATABASE] | --library-saves | --backup-saves\n"
        "       kelpad --get-names\n"
        "\n"
        "A front-end for Game Boy and Game Boy Color emulators.\n"
        "\n"
        "  FILE               load this configuration file at start-up\n"
        "  ROM...             start these ROMs with the emulator of the configuration\n"
        "                     last loaded or saved, without the main window\n"
        "  --scan DIR         print the game list entry of every ROM file in DIR\n"
        "  --mask MASK        the files --scan reads (several patterns separated\n"
        "                     by ';', letter case ignored); by default every ROM:\n"
        "                     *.gb;*.gbc;*.cgb;*.sgb;*.zip;*.7z\n"
        "  --subfolders       --scan reads the subfolders of DIR too, and writes\n"
        "                     each file's path below DIR in its entry\n"
        "  --names            --scan titles each game with its name from the\n"
        "                     game databases, where they know it\n"
        "  --dat FILE         read this game database (DAT) before the others;\n"
        "                     may be given more than once\n"
        "  --info FILE...     print what the cartridge header of each file says,\n"
        "                     and where the game's pictures lie\n"
        "  --download-pictures\n"
        "                     --info first downloads the box art it lacks from\n"
        "                     thumbnails.libretro.com\n"
        "  --add FILE...      add these ROMs to the game list of the configuration\n"
        "                     last loaded or saved, and save it\n"
        "  --library          open the library window with the main window\n"
        "  --library-add FOLDER...\n"
        "                     add these folders (and their subfolders) to the library\n"
        "  --library-remove FOLDER...\n"
        "                     take these folders out of the library (no file is deleted)\n"
        "  --library-list     print the library's games as tab-separated text: name,\n"
        "                     system, region, size, crc32, verified, played, last\n"
        "                     played, path, copies, play time (seconds), emulator\n"
        "                     and save, one line a game sorted by path\n"
        "  --library-missing [DATABASE]\n"
        "                     print the games of the game databases (or of the one\n"
        "                     named as --info shows it) that no file of the library\n"
        "                     holds: name, region, size, crc32 and database\n"
        "  --library-saves    print the battery saves of the library's games: name,\n"
        "                     save, size, modified, backups and path\n"
        "  --backup-saves     back up every save that changed since its last backup\n"
        "  --get-names        download the game names for Game Boy and Game Boy\n"
        "                     Color (No-Intro, via libretro-database)\n"
        "  --help             show this text\n"
        "  --version          show the version\n"
        "  --                 what follows is a file name, even if it starts with -\n"
        "\n"
        "The toolkit's own options (-style NAME, -platform NAME, ...) are taken too.\n");
}

QStringList rawArguments(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(decodePath(QByteArray(argv[i])));
    return arguments;
}

namespace {

// What the arguments said so far; error set ends the reading.
struct Reading {
    CommandLine line;
    QStringList files;
    bool mask = false;
    bool subfolders = false;
    bool names = false;
    bool download = false;
    bool optionsEnded = false;
    bool done = false;  // --help or --version: nothing more is read
    QString error;
};

// The value after arguments[*i], taken; empty with error set when there is
// none.
QString takeValue(const QStringList &arguments, qsizetype *i, Reading &r)
{
    if (*i + 1 >= arguments.size()) {
        r.error = QCoreApplication::translate("CommandLine", "%1 needs a value").arg(arguments.at(*i));
        return QString();
    }
    return arguments.at(++*i);
}

// Reads the option at arguments[*i] (and its value), moving *i past it.
void readOption(const QStringList &arguments, qsizetype *i, Reading &r)
{
    const QString &option = arguments.at(*i);
    if (const int toolkit = toolkitOptionLength(arguments, *i)) {
        *i += toolkit - 1;
    } else if (option == kEndOfOptions) {
        r.optionsEnded = true;
    } else if (option == QLatin1String("--help") || option == QLatin1String("-h")) {
        r.line.mode = CommandLine::Help;
        r.done = true;
    } else if (option == QLatin1String("--version")) {
        r.line.mode = CommandLine::Version;
        r.done = true;
    } else if (option == QLatin1String("--subfolders")) {
        r.subfolders = true;
    } else if (option == QLatin1String("--names")) {
        r.names = true;
    } else if (option == QLatin1String("--download-pictures")) {
        r.download = true;
    } else if (option == QLatin1String("--dat")) {
        const QString file = takeValue(arguments, i, r);
        if (r.error.isEmpty() && file.isEmpty())
            r.error = QCoreApplication::translate("CommandLine", "%1 needs a value").arg(option);
        r.line.datFiles.append(file);
    } else if (option == QLatin1String("--library")) {
        r.line.library = true;
    } else if (option == QLatin1String("--get-names")) {
        if (r.line.mode != CommandLine::Gui)
            r.error = QCoreApplication::translate("CommandLine", "%1 goes with nothing but files").arg(option);
        r.line.mode = CommandLine::GetNames;
    } else if (option == QLatin1String("--info") || option == QLatin1String("--add")
               || option.startsWith(QLatin1String("--library-")) || option == QLatin1String("--backup-saves")) {
        static const QHash<QString, CommandLine::Mode> modes{
            {QStringLiteral("--info"), CommandLine::Info},
            {QStringLiteral("--add"), CommandLine::Add},
            {QStringLiteral("--library-add"), CommandLine::LibraryAdd},
            {QStringLiteral("--library-remove"), CommandLine::LibraryRemove},
            {QStringLiteral("--library-list"), CommandLine::LibraryList},
            {QStringLiteral("--library-missing"), CommandLine::LibraryMissing},
            {QStringLiteral("--library-saves"), CommandLine::LibrarySaves},
            {QStringLiteral("--backup-saves"), CommandLine::BackupSaves},
        };
        if (!modes.contains(option)) {
            r.error = QCoreApplication::translate("CommandLine", "unknown option %1").arg(option);
            return;
        }
        if (r.line.mode != CommandLine::Gui)
            r.error = QCoreApplication::translate("CommandLine", "%1 goes with nothing but files").arg(option);
        r.line.mode = modes.value(option);
    } else if (option == QLatin1String("--mask")) {
        r.line.mask = takeValue(arguments, i, r);
        r.mask = true;
    } else if (option == QLatin1String("--scan")) {
        const QString folder = takeValue(arguments, i, r);
        if (!r.error.isEmpty())
            return;
        if (r.line.mode != CommandLine::Gui)
            r.error = QCoreApplication::translate("CommandLine", "--scan given twice, or with --info");
        else if (folder.isEmpty())  // not the current folder: an empty name names no folder
            r.error = QCoreApplication::translate("CommandLine", "--scan needs a folder name, not an empty text");
        r.line.mode = CommandLine::Scan;
        r.line.scanFolder = folder;
    } else {
        r.error = QCoreApplication::translate("CommandLine", "unknown option %1").arg(option);
    }
}

// What the options and files given make together, or why they do not go
// together.
QString combine(Reading &r)
{
    if (r.mask && r.line.mode != CommandLine::Scan)
        return QCoreApplication::translate("CommandLine", "--mask goes with --scan");
    if (r.subfolders && r.line.mode != CommandLine::Scan)
        return QCoreApplication::translate("CommandLine", "--subfolders goes with --scan");
    if (r.names && r.line.mode != CommandLine::Scan)
        return QCoreApplication::translate("CommandLine", "--names goes with --scan");
    if (r.download && r.line.mode != CommandLine::Info)
        return QCoreApplication::translate("CommandLine", "--download-pictures goes with --info");
    if (r.line.library && r.line.mode != CommandLine::Gui)
        return QCoreApplication::translate("CommandLine", "--library goes with nothing but a configuration file");
    r.line.subfolders = r.subfolders;
    r.line.names = r.names;
    r.line.downloadPictures = r.download;
    switch (r.line.mode) {
    case CommandLine::Scan:
        if (!r.files.isEmpty())
            return QCoreApplication::translate("CommandLine", "--scan takes no configuration file");
        break;
    case CommandLine::LibraryList:
        if (!r.files.isEmpty() || r.line.library)
            return QCoreApplication::translate("CommandLine", "--library-list takes nothing more");
        break;
    case CommandLine::GetNames:
        if (!r.files.isEmpty() || r.line.library)
            return QCoreApplication::translate("CommandLine", "--get-names takes nothing more");
        break;
    case CommandLine::LibraryMissing:
        if (r.files.size() > 1 || r.line.library)
            return QCoreApplication::translate("CommandLine", "--library-missing takes one database's name at most");
        r.line.database = r.files.value(0);
        break;
    case CommandLine::LibrarySaves:
    case CommandLine::BackupSaves:
        if (!r.files.isEmpty() || r.line.library)
            return QCoreApplication::translate("CommandLine", "%1 takes nothing more")
                .arg(r.line.mode == CommandLine::LibrarySaves ? QStringLiteral("--library-saves")
                                                              : QStringLiteral("--backup-saves"));
        break;
    case CommandLine::LibraryAdd:
    case CommandLine::LibraryRemove:
        if (r.files.isEmpty())
            return QCoreApplication::translate("CommandLine", "%1 needs at least one folder")
                .arg(r.line.mode == CommandLine::LibraryAdd ? QStringLiteral("--library-add")
                                                            : QStringLiteral("--library-remove"));
        r.line.libraryFolders = r.files;
        break;
    case CommandLine::Info:
    case CommandLine::Add:
        if (r.files.isEmpty())
            return QCoreApplication::translate("CommandLine", "%1 needs at least one file")
                .arg(r.line.mode == CommandLine::Info ? QStringLiteral("--info") : QStringLiteral("--add"));
        (r.line.mode == CommandLine::Info ? r.line.infoFiles : r.line.addFiles) = r.files;
        break;
    default:
        r.line.startFiles = r.files;
        r.line.configFile = r.files.size() == 1 ? r.files.constFirst() : QString();
        break;
    }
    return QString();
}

}  // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    Reading r;
    for (qsizetype i = 1; i < arguments.size() && r.error.isEmpty() && !r.done; ++i) {
        if (r.optionsEnded || !isOption(arguments.at(i)))
            r.files.append(arguments.at(i));
        else
            readOption(arguments, &i, r);
    }
    if (r.error.isEmpty() && !r.done)
        r.error = combine(r);
    if (!r.error.isEmpty()) {
        r.line.mode = CommandLine::UsageError;
        r.line.error = r.error;
    }
    return r.line;
}

void sortStartFiles(CommandLine &line)
{
    if (line.mode != CommandLine::Gui || line.startFiles.isEmpty())
        return;
    // What reads as a configuration is one, whatever its name.
    const bool allRoms = std::all_of(line.startFiles.cbegin(), line.startFiles.cend(), [](const QString &file) {
        return !beginsAsConfiguration(file) && isStartedAsRom(file);
    });
    if (allRoms) {
        line.romFiles = line.startFiles;
        line.configFile.clear();
    } else if (line.startFiles.size() > 1) {
        line.mode = CommandLine::UsageError;
        line.error = QCoreApplication::translate("CommandLine", "only one configuration file can be given");
    }
}

namespace {

int addToLastConfiguration(const QStringList &files, Catalogue &catalogue)
{
    const QString config = startConfigurationFile();
    if (config.isEmpty()) {
        printMessage(stderr, QCoreApplication::translate("kelpad", "no configuration to add the games to:"
                                                                   " load or save one in the main window first"));
        return 2;
    }
    RomAdding adding;
    try {
        adding = addRomsToConfiguration(config, files, catalogue);
    } catch (const IoError &error) {
        printMessage(stderr, displayPath(config) + QStringLiteral(": ") + error.text());
        return 2;
    }
    for (const QString &reason : adding.refused)
        printMessage(stderr, withoutControlCharacters(reason));
    for (const QString &file : adding.alreadyListed)
        std::fputs(terminalText(withoutControlCharacters(file) + QStringLiteral(": ")
                                + QCoreApplication::translate("kelpad", "already in the list") + QLatin1Char('\n'))
                       .constData(),
                   stdout);
    std::fputs(terminalText(QCoreApplication::translate("kelpad", "%n game(s) added to %1\n", nullptr, adding.added)
                                .arg(withoutControlCharacters(displayPath(config))))
                   .constData(),
               stdout);
    return adding.refused.isEmpty() ? 0 : 1;
}

// Writes the whole text to standard output: false when it could not.
bool writeOut(const QByteArray &text)
{
    return std::fwrite(text.constData(), 1, size_t(text.size()), stdout) == size_t(text.size())
           && std::fflush(stdout) == 0;
}

// The library's games, read as the list reads them; problems said on
// standard error. store: the store read (its problem said too).
std::vector<LibraryGame> readWholeLibrary(Catalogue &catalogue, LibraryStore *store, bool *problemsSaid)
{
    *store = LibraryStore::read();
    if (!store->problem.isEmpty())
        printMessage(stderr, displayPath(LibraryStore::defaultPath()) + QStringLiteral(": ") + store->problem);
    store->mergeSpellings();
    QStringList problems;
    std::vector<LibraryGame> games = scanLibrary(store->folders, catalogue, &problems);
    for (const QString &problem : std::as_const(problems))
        printMessage(stderr, withoutControlCharacters(displayPath(problem)));
    *problemsSaid = !problems.isEmpty();
    return games;
}

int printMissingGames(const QString &database, Catalogue &catalogue)
{
    LibraryStore store;
    bool problems = false;
    std::vector<RomKey> contents;
    {
        const std::vector<LibraryGame> games = readWholeLibrary(catalogue, &store, &problems);
        contents.reserve(games.size());
        for (const LibraryGame &game : games)
            contents.push_back(game.content());
    }
    const std::shared_ptr<const LoadedGameDatabases> databases = catalogue.databases();
    const LibraryAudit audit = auditLibrary(contents, databases->database, database);
    if (!database.isEmpty() && audit.databases.empty()) {
        printMessage(stderr, QCoreApplication::translate("kelpad", "%1: no game database of that name").arg(database));
        return 1;
    }
    for (const DatabaseAudit &counts : audit.databases)
        std::fputs(terminalText(auditLine(counts) + QLatin1Char('\n')).constData(), stderr);
    return writeOut(missingGamesText(audit.missing)) ? 0 : 1;
}

int runSavesCommand(bool backUp, Catalogue &catalogue)
{
    LibraryStore store;
    bool problems = false;
    const std::vector<LibraryGame> games = readWholeLibrary(catalogue, &store, &problems);
    QStringList paths;
    for (const LibraryGame &game : games)
        paths.append(game.path);
    const FoundSaves saves = findSaves(paths, SaveFolders::ofUser());
    std::vector<const LibraryGame *> withSaves;
    for (const LibraryGame &game : games)
        if (saves.contains(game.path))
            withSaves.push_back(&game);
    std::sort(withSaves.begin(), withSaves.end(),
              [](const LibraryGame *a, const LibraryGame *b) { return a->path < b->path; });
    if (!backUp) {
        QByteArray out = "name\tsave\tsize\tmodified\tbackups\tpath\n";
        for (const LibraryGame *game : withSaves) {
            const SaveFile &save = saves.value(game->path).constFirst();
            out += withoutControlCharacters(game->name).toUtf8() + '\t'
                   + withoutControlCharacters(displayPath(save.path)).toUtf8() + '\t' + QByteArray::number(save.size)
                   + '\t' + save.modified.toString(QStringLiteral("yyyy-MM-dd HH:mm")).toLatin1() + '\t'
                   + QByteArray::number(saveBackups(game->name).size()) + '\t'
                   + withoutControlCharacters(displayPath(game->path)).toUtf8() + '\n';
        }
        return writeOut(out) ? 0 : 1;
    }
    int made = 0;
    int status = 0;
    for (const LibraryGame *game : withSaves) {
        const QString emulator = store.emulatorOf(game->content());
        for (const SaveFile &save : saves.value(game->path)) {
            try {
                if (!backUpSave(save, game->name, emulatorLabel(emulator, save)).isEmpty())
                    ++made;
            } catch (const IoError &error) {
                printMessage(stderr, displayPath(save.path) + QStringLiteral(": ") + error.text());
                status = 1;
            }
        }
    }
    std::fputs(terminalText(QCoreApplication::translate("kelpad", "%n save(s) backed up\n", nullptr, made)).constData(),
               stdout);
    return status;
}

int runLibraryCommand(const CommandLine &line, Catalogue &catalogue)
{
    const auto say = [](FILE *to, const QString &text) {
        std::fputs(terminalText(withoutControlCharacters(text) + QLatin1Char('\n')).constData(), to);
    };
    int status = 0;
    try {
        if (line.mode == CommandLine::LibraryList) {
            LibraryStore store = LibraryStore::read();
            if (!store.problem.isEmpty())
                printMessage(stderr, displayPath(LibraryStore::defaultPath()) + QStringLiteral(": ") + store.problem);
            store.mergeSpellings();
            QStringList problems;
            LibraryList list(store);
            scanLibrary(store.folders, catalogue, &problems, [&](const std::vector<LibraryGame> &games) {
                for (const LibraryGame &game : games)
                    list.add(game);
            });
            // The saves are looked for (a listing of each folder again) while
            // the lines are sorted.
            std::promise<QHash<size_t, QByteArray>> savesFound;
            std::future<QHash<size_t, QByteArray>> saves = savesFound.get_future();
            catalogue.executor().start([&savesFound, &list] {
                try {
                    QHash<size_t, QByteArray> firstSaves;
                    findSaves(
                        list.size(),
                        [&list](size_t i) {
                            const QByteArrayView path = list.pathOf(i);  // the list is not changed meanwhile
                            return QByteArray::fromRawData(path.data(), path.size());
                        },
                        SaveFolders::ofUser(),
                        [&](size_t i, const QList<SaveFile> &found) {
                            firstSaves.insert(i, encodePath(found.constFirst().path));
                        });
                    savesFound.set_value(std::move(firstSaves));
                } catch (...) {
                    savesFound.set_exception(std::current_exception());
                }
            });
            list.sort();
            const QHash<size_t, QByteArray> firstSaves = saves.get();
            for (const QString &problem : std::as_const(problems))
                printMessage(stderr, withoutControlCharacters(displayPath(problem)));
            const bool written = list.write(firstSaves, [](QByteArrayView piece) {
                return std::fwrite(piece.data(), 1, size_t(piece.size()), stdout) == size_t(piece.size());
            });
            if (!written || std::fflush(stdout) != 0)
                return 1;
            return problems.isEmpty() ? 0 : 1;
        }
        QStringList folders;
        for (const QString &given : line.libraryFolders) {
            const QString folder = QDir::cleanPath(absolutePath(given));
            struct stat st;
            if (line.mode == CommandLine::LibraryAdd
                && (::stat(encodePath(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode))) {
                printMessage(stderr, displayPath(given) + QStringLiteral(": ")
                                         + QCoreApplication::translate("kelpad", "not a folder"));
                status = 1;
                continue;
            }
            if (line.mode == CommandLine::LibraryAdd) {
                // /proc, /sys and /dev hold no games, and their links lead
                // round the whole disk.
                const int fd = ::open(encodePath(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
                const bool system = fd >= 0 && isSystemFolder(fd);
                if (fd >= 0)
                    ::close(fd);
                if (system) {
                    printMessage(stderr, displayPath(given) + QStringLiteral(": ") + IoError::systemFolder().text());
                    status = 1;
                    continue;
                }
            }
            folders.append(folder);
        }
        if (line.mode == CommandLine::LibraryAdd) {
            const QStringList added = LibraryStore::addFolders(folders);
            for (const QString &folder : std::as_const(folders))
                say(stdout, displayPath(folder) + QStringLiteral(": ")
                                + (added.contains(folder) ? QCoreApplication::translate("kelpad", "added to the library")
                                                          : QCoreApplication::translate("kelpad", "already in the library")));
        } else {
            for (const QString &folder : std::as_const(folders)) {
                if (LibraryStore::removeFolder(folder)) {
                    say(stdout, displayPath(folder) + QStringLiteral(": ")
                                    + QCoreApplication::translate("kelpad", "taken out of the library"));
                } else {
                    printMessage(stderr, displayPath(folder) + QStringLiteral(": ")
                                             + QCoreApplication::translate("kelpad", "not in the library"));
                    status = 1;
                }
            }
        }
    } catch (const IoError &error) {
        printMessage(stderr, displayPath(LibraryStore::defaultPath()) + QStringLiteral(": ") + error.text());
        return 1;
    }
    return status;
}

}  // namespace

int runWithoutWindow(const CommandLine &line, Catalogue &catalogue)
{
    switch (line.mode) {
    case CommandLine::Help:
        std::fputs(terminalText(usageText()).constData(), stdout);
        return 0;
    case CommandLine::Version:
        std::printf("kelpad (Vantorix) %s\n", VANTORIX_VERSION);
        return 0;
    case CommandLine::UsageError:
        printMessage(stderr, line.error);
        std::fputs(terminalText(usageText()).constData(), stderr);
        return 2;
    case CommandLine::Scan: {
        ListingScope scope;
        scope.subfolders = line.subfolders;
        return scanFolder(line.scanFolder, line.mask, scope, stdout, stderr,
                          line.names ? &catalogue : nullptr, &catalogue.executor());
    }
    case CommandLine::Info:
        return printDetails(line.infoFiles, catalogue, stdout, stderr, line.downloadPictures);
    case CommandLine::Add:
        return addToLastConfiguration(line.addFiles, catalogue);
    case CommandLine::LibraryAdd:
    case CommandLine::LibraryRemove:
    case CommandLine::LibraryList:
        return runLibraryCommand(line, catalogue);
    case CommandLine::LibraryMissing:
        return printMissingGames(line.database, catalogue);
    case CommandLine::LibrarySaves:
    case CommandLine::BackupSaves:
        return runSavesCommand(line.mode == CommandLine::BackupSaves, catalogue);
    case CommandLine::GetNames:  // the window program's: it alone downloads
    case CommandLine::Gui:
        break;
    }
    return 2;
}

QByteArray windowProgramPath()
{
    char self[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return QByteArray();
    QByteArray folder(self, length);
    folder.truncate(folder.lastIndexOf('/') + 1);
    // The first that is there, runnable or not: starting it tells the
    // user why it cannot run (no right to, a folder in its place).
    for (const char *relative : {VANTORIX_WINDOW_PROGRAM, VANTORIX_INSTALLED_WINDOW_PROGRAM}) {
        const QByteArray candidate = folder + relative;
        if (::access(candidate.constData(), F_OK) == 0)
            return candidate;
    }
    return QByteArray();
}

QString commandFolder()
{
    const QString here = QCoreApplication::applicationDirPath();
    if (QFileInfo(here + QStringLiteral("/kelpad")).isExecutable())
        return here;
    const QString installed = QDir::cleanPath(here + QStringLiteral("/" VANTORIX_COMMAND_FROM_WINDOW_PROGRAM));
    return QFileInfo(installed + QStringLiteral("/kelpad")).isExecutable() ? installed : here;
}

}  // namespace vantorix
