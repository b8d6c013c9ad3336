#include "app/CommandLine.h"

namespace vantorix {

QString usageText()
{
    return QStringLiteral(
        "Usage: kelpad [FILE]\n"
        "       kelpad --scan DIR [--mask MASK]\n"
        "\n"
        "A front-end for Game Boy and Game Boy Color emulators.\n"
        "\n"
        "  FILE               load this configuration file at start-up\n"
        "  --scan DIR         print the game list entry of every ROM file in DIR\n"
        "  --mask MASK        the files --scan reads (default *.gb; several\n"
        "                     patterns separated by ';', letter case ignored)\n"
        "  --help             show this text\n"
        "  --version          show the version\n");
}

CommandLine parseCommandLine(const QStringList &arguments)
{
    CommandLine line;
    bool haveMask = false;
    auto fail = [&line](const QString &message) {
        line.mode = CommandLine::UsageError;
        line.error = message;
        return line;
    };
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            line.mode = CommandLine::Help;
            return line;
        }
        if (argument == QLatin1String("--version")) {
            line.mode = CommandLine::Version;
            return line;
        }
        if (argument == QLatin1String("--scan") || argument == QLatin1String("--mask")) {
            if (i + 1 >= arguments.size())
                return fail(argument + QStringLiteral(" needs a value"));
            const QString value = arguments.at(++i);
            if (argument == QLatin1String("--scan")) {
                if (line.mode == CommandLine::Scan)
                    return fail(QStringLiteral("--scan given twice"));
                line.mode = CommandLine::Scan;
                line.scanFolder = value;
            } else {
                line.mask = value;
                haveMask = true;
            }
            continue;
        }
        if (argument.startsWith(QLatin1Char('-')) && argument != QLatin1String("-"))
            // Toolkit options such as -platform reach Qt untouched.
            continue;
        if (!line.configFile.isEmpty())
            return fail(QStringLiteral("only one configuration file can be given"));
        line.configFile = argument;
    }
    if (line.mode == CommandLine::Scan && !line.configFile.isEmpty())
        return fail(QStringLiteral("--scan takes no configuration file"));
    if (haveMask && line.mode != CommandLine::Scan)
        return fail(QStringLiteral("--mask goes with --scan"));
    return line;
}

}  // namespace vantorix
