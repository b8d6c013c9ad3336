#include "app/CommandLine.h"

#include "app/FilePath.h"
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

}  // namespace

QString usageText()
{
    return QCoreApplication::translate("CommandLine",
        "Usage: kelpad [OPTIONS] [--] [FILE]\n"
        "       kelpad --scan DIR [--mask MASK]\n"
        "       kelpad --info FILE...\n"
        "\n"
        "A front-end for Game Boy and Game Boy Color emulators.\n"
        "\n"
        "  FILE               load this configuration file at start-up\n"
        "  --scan DIR         print the game list entry of every ROM file in DIR\n"
        "  --mask MASK        the files --scan reads (default *.gb; several\n"
        "                     patterns separated by ';', letter case ignored)\n"
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

bool wantsNoWindow(const QStringList &arguments)
{
    for (qsizetype i = 1; i < arguments.size() && arguments.at(i) != kEndOfOptions; ++i) {
        for (const char *option : {"--help", "-h", "--version", "--scan", "--info"})
            if (arguments.at(i) == QLatin1String(option))
                return true;
    }
    return false;
}

CommandLine parseCommandLine(const QStringList &arguments)
{
    CommandLine line;
    bool haveMask = false;
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
        if (argument == kEndOfOptions) {
            optionsEnded = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            line.mode = CommandLine::Help;
            return line;
        } else if (argument == QLatin1String("--version")) {
            line.mode = CommandLine::Version;
            return line;
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

int runWithoutWindow(const CommandLine &line)
{
    switch (line.mode) {
    case CommandLine::Help:
        std::fputs(qUtf8Printable(usageText()), stdout);
        return 0;
    case CommandLine::Version:
        std::printf("kelpad (Vantorix) %s\n", VANTORIX_VERSION);
        return 0;
    case CommandLine::UsageError:
        std::fprintf(stderr, "kelpad: %s\n%s", qUtf8Printable(line.error), qUtf8Printable(usageText()));
        return 2;
    case CommandLine::Scan:
        return scanFolder(line.scanFolder, line.mask, stdout, stderr);
    case CommandLine::Info:
        return printDetails(line.infoFiles, stdout, stderr);
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
    for (const char *relative : {VANTORIX_WINDOW_PROGRAM, VANTORIX_INSTALLED_WINDOW_PROGRAM}) {
        const QByteArray candidate = folder + relative;
        if (::access(candidate.constData(), X_OK) == 0)
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
