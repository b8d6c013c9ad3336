// Runs the tests with a real QApplication on the offscreen platform. A
// watchdog ends the process if a test hangs, so that it fails instead.
#include "app/Fonts.h"
#include "app/Translations.h"
#include "catalogue/DetailToolTips.h"

#include <QApplication>
#include <QFile>
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
    QApplication app(argc, argv);
    vantorix::installFontFallbacks();
    // English, as the program speaks it where no translation exists.
    vantorix::installTranslations(QLocale(QLocale::English));
    std::thread([] {
        std::this_thread::sleep_for(std::chrono::seconds(240));
        std::fprintf(stderr, "watchdog: the test ran for 240 s and is taken to hang\n");
        std::_Exit(3);
    }).detach();
    const int status = RUN_ALL_TESTS();
    vantorix::DetailToolTips::shared().waitForReads();
    return status;
}
