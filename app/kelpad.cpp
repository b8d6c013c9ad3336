// Vantorix: a front-end for Game Boy and Game Boy Color emulators.
#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/ErrorBox.h"
#include "app/FilePath.h"
#include "app/Fonts.h"
#include "app/Forms.h"
#include "app/Translations.h"
#include "app/Unit1.h"
#include "catalogue/RomScan.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// File names are bytes: each argument is kept so that its bytes come back.
QStringList rawArguments(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(vantorix::decodePath(QByteArray(argv[i])));
    return arguments;
}

// Help, version, --scan and --info: no window, no display needed.
int runWithoutWindow(const vantorix::CommandLine &line)
{
    switch (line.mode) {
    case vantorix::CommandLine::Help:
        std::fputs(qUtf8Printable(vantorix::usageText()), stdout);
        return 0;
    case vantorix::CommandLine::Version:
        std::printf("kelpad (Vantorix) %s\n", VANTORIX_VERSION);
        return 0;
    case vantorix::CommandLine::UsageError:
        std::fprintf(stderr, "kelpad: %s\n%s", qUtf8Printable(line.error), qUtf8Printable(vantorix::usageText()));
        return 2;
    case vantorix::CommandLine::Scan:
        return vantorix::scanFolder(line.scanFolder, line.mask, stdout, stderr);
    case vantorix::CommandLine::Info:
        return vantorix::printDetails(line.infoFiles, stdout, stderr);
    case vantorix::CommandLine::Gui:
        break;
    }
    return 2;
}

}  // namespace

int main(int argc, char **argv)
{
    if (vantorix::wantsNoWindow(rawArguments(argc, argv))) {
        QCoreApplication core(argc, argv);
        vantorix::installTranslations();
        try {
            return runWithoutWindow(vantorix::parseCommandLine(rawArguments(argc, argv)));
        } catch (const std::bad_alloc &) {
            std::fprintf(stderr, "kelpad: %s\n", qUtf8Printable(QCoreApplication::translate("kelpad", "not enough memory")));
            return 1;
        }
    }

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
    vantorix::Application application(toolkitArgc, toolkitArgv.data());
    vantorix::installTranslations();
    QStringList arguments = rawArguments(toolkitArgc, toolkitArgv.data());
    arguments += rawArguments(argc, argv).mid(toolkitArgc);
    const vantorix::CommandLine line = vantorix::parseCommandLine(arguments);
    if (line.mode != vantorix::CommandLine::Gui)
        return runWithoutWindow(line);
    QApplication::setApplicationName(QStringLiteral("kelpad"));
    QApplication::setDesktopFileName(QStringLiteral("eu.vantorix.Vantorix"));
    // The desktop's icon theme first, the built-in one where it has none.
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("eu.vantorix.Vantorix"),
                                                 QIcon(QStringLiteral(":/icons/vantorix.png"))));
    vantorix::installFontFallbacks();
    vantorix::createForms();
    if (!line.configFile.isEmpty())
        Form1->setStartupFile(line.configFile);
    Form1->show();
    const int status = QApplication::exec();
    vantorix::destroyForms();
    return status;
}
