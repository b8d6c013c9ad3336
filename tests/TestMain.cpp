// Runs the tests: the windows' with a real QApplication on the offscreen
// platform, the core's (built with VANTORIX_CORE_TESTS) with a
// QCoreApplication and no widget library at all. A watchdog ends the
// process if a test hangs, so that it fails instead.
#include "platform/Translations.h"
#ifndef VANTORIX_CORE_TESTS
#include "widgets/Fonts.h"
#include <QApplication>
#endif

#include <QCoreApplication>
#include <QFile>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    // The program remembers the configuration last used: the tests' own
    // record, never the user's.
    QTemporaryDir state;
    qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    // Game databases, the hash cache and the settings likewise: none but the tests' own,
    // and Debian's mGBA list only where a test names it.
    for (const char *variable : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME"}) {
        const QString folder = state.filePath(QString::fromLatin1(variable));
        QDir().mkpath(folder);
        qputenv(variable, QFile::encodeName(folder));
    }
#ifdef VANTORIX_CORE_TESTS
    QCoreApplication app(argc, argv);
#else
    QApplication app(argc, argv);
    vantorix::installFontFallbacks();
#endif
    // English, as the program speaks it where no translation exists.
    vantorix::installTranslations(QLocale(QLocale::English));
    std::thread([] {
        std::this_thread::sleep_for(std::chrono::seconds(240));
        std::fprintf(stderr, "watchdog: the test ran for 240 s and is taken to hang\n");
        std::_Exit(3);
    }).detach();
    return RUN_ALL_TESTS();
}
