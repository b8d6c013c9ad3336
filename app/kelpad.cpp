// Vantorix: a front-end for Game Boy and Game Boy Color emulators.
#include "app/CommandLine.h"
#include "app/ErrorBox.h"
#include "app/Fonts.h"
#include "app/Forms.h"
#include "app/Unit1.h"
#include "catalogue/RomScan.h"

#include <QApplication>
#include <QFileInfo>

#include <cstdio>

namespace {

QStringList rawArguments(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

}  // namespace

int main(int argc, char **argv)
{
    const vantorix::CommandLine line = vantorix::parseCommandLine(rawArguments(argc, argv));
    switch (line.mode) {
    case vantorix::CommandLine::Help:
        std::fputs(qUtf8Printable(vantorix::usageText()), stdout);
        return 0;
    case vantorix::CommandLine::Version:
        std::printf("kelpad (Vantorix) %s\n", VANTORIX_VERSION);
        return 0;
    case vantorix::CommandLine::UsageError:
        std::fprintf(stderr, "kelpad: %s\n%s", qUtf8Printable(line.error),
                     qUtf8Printable(vantorix::usageText()));
        return 2;
    case vantorix::CommandLine::Scan: {
        QCoreApplication core(argc, argv);
        return vantorix::scanFolder(line.scanFolder, line.mask, stdout, stderr);
    }
    case vantorix::CommandLine::Gui:
        break;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kelpad"));
    QApplication::setDesktopFileName(QStringLiteral("vantorix"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/vantorix.png")));
    vantorix::installFontFallbacks();
    vantorix::createForms();
    if (!line.configFile.isEmpty())
        Form1->setStartupFile(line.configFile);
    Form1->show();
    const int status = QApplication::exec();
    vantorix::destroyForms();
    return status;
}
