#include "app/CommandLine.h"

#include "platform/FilePath.h"
#include "platform/TerminalText.h"
#include "catalogue/GameDatabase.h"
#include "catalogue/RomScan.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <climits>
#include <cstdio>
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
        "       kelpad --scan DIR [--subfolders] [--names] [--mask MASK]\n"
        "       kelpad --info FILE...\n"
        "\n"
        "A front-end for Game Boy and Game Boy Color emulators.\n"
        "\n"
        "  FILE               load this configuration file at start-up\n"
        "  --scan DIR         print the game list entry of every ROM file in DIR\n"
        "  --mask MASK        the files --scan reads (default *.gb; several\n"
        "                     patterns separated by ';', letter case ignored)\n"
        "  --subfolders       --scan reads the subfolders of DIR too, and writes\n"
        "                     each file's path below DIR in its entry\n"
        "  --names            --scan titles each game with its name from the\n"
        "                     game databases, where they know it\n"
        "  --dat FILE         read this game database (DAT) before the others;\n"
        "                     may be given more than once\n"
        "  --info FILE...     print what the cartridge header of each file says\n"
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

CommandLine parseCommandLine(const QStringList &arguments)
{
    CommandLine line;
    bool haveMask = false;
    bool haveSubfolders = false;
    bool haveNames = false;
    bool optionsEnded = false;
    QStringList files;
    auto fail = [&line](const QString &message) {
        line.mode = CommandLine::UsageError;
        line.error = message;
        return line;
    };
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (optionsEnded || !isOption(argument)) {
            files.append(argument);
            continue;
        }
        if (const int toolkit = toolkitOptionLength(arguments, i)) {
            i += toolkit - 1;
        } else if (argument == kEndOfOptions) {
            optionsEnded = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            line.mode = CommandLine::Help;
            return line;
        } else if (argument == QLatin1String("--version")) {
            line.mode = CommandLine::Version;
            return line;
        } else if (argument == QLatin1String("--subfolders")) {
            haveSubfolders = true;
        } else if (argument == QLatin1String("--names")) {
            haveNames = true;
        } else if (argument == QLatin1String("--dat")) {
            if (i + 1 >= arguments.size() || arguments.at(i + 1).isEmpty())
                return fail(QCoreApplication::translate("CommandLine", "%1 needs a value").arg(argument));
            line.datFiles.append(arguments.at(++i));
        } else if (argument == QLatin1String("--info")) {
            if (line.mode != CommandLine::Gui)
                return fail(QCoreApplication::translate("CommandLine", "--info goes with nothing but files"));
            line.mode = CommandLine::Info;
        } else if (argument == QLatin1String("--scan") || argument == QLatin1String("--mask")) {
            if (i + 1 >= arguments.size())
                return fail(QCoreApplication::translate("CommandLine", "%1 needs a value").arg(argument));
            const QString value = arguments.at(++i);
            if (argument == QLatin1String("--mask")) {
                line.mask = value;
                haveMask = true;
            } else if (line.mode != CommandLine::Gui) {
                return fail(QCoreApplication::translate("CommandLine", "--scan given twice, or with --info"));
            } else if (value.isEmpty()) {
                // Not the current folder: an empty name names no folder.
                return fail(QCoreApplication::translate("CommandLine", "--scan needs a folder name, not an empty text"));
            } else {
                line.mode = CommandLine::Scan;
                line.scanFolder = value;
            }
        } else {
            return fail(QCoreApplication::translate("CommandLine", "unknown option %1").arg(argument));
        }
    }
    if (haveMask && line.mode != CommandLine::Scan)
        return fail(QCoreApplication::translate("CommandLine", "--mask goes with --scan"));
    if (haveSubfolders && line.mode != CommandLine::Scan)
        return fail(QCoreApplication::translate("CommandLine", "--subfolders goes with --scan"));
    if (haveNames && line.mode != CommandLine::Scan)
        return fail(QCoreApplication::translate("CommandLine", "--names goes with --scan"));
    line.subfolders = haveSubfolders;
    line.names = haveNames;
    switch (line.mode) {
    case CommandLine::Scan:
        if (!files.isEmpty())
            return fail(QCoreApplication::translate("CommandLine", "--scan takes no configuration file"));
        break;
    case CommandLine::Info:
        if (files.isEmpty())
            return fail(QCoreApplication::translate("CommandLine", "--info needs at least one file"));
        line.infoFiles = files;
        break;
    default:
        if (files.size() > 1)
            return fail(QCoreApplication::translate("CommandLine", "only one configuration file can be given"));
        line.configFile = files.value(0);
        break;
    }
    return line;
}

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
                          line.names ? &catalogue : nullptr);
    }
    case CommandLine::Info:
        return printDetails(line.infoFiles, catalogue, stdout, stderr);
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
