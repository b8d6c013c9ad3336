// The user's language: the translation the locale picks, the interface
// file over it, English where no translation exists; and the first start
// of a new user, ready to play.
#include "app/FmxUtils.h"
#include "app/Forms.h"
#include "rom/GameListEntry.h"
#include "platform/IoError.h"
#include "platform/Translations.h"
#include "app/Unit1.h"
#include "names/CartridgeDetails.h"
#include "catalogue/Unit5.h"
#include "settings/Configuration.h"
#include "settings/FirstStart.h"
#include "tests/WindowTestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

TEST(Language, TheLocalePicksTheTranslationAndTheInterfaceFileWins)
{
    QTemporaryDir dir;
    const struct {
        const char *locale;
        const char *installed;
        const char *prompt;  // the main window's first caption
        const char *reader;  // the ROMS reader's title
        const char *error;
        const char *checksum;  // a broken dump's warning, one language throughout
    } cases[] = {
        {"it_IT", "it", "Scegli un gioco dalla lista:", "Lettore di ROM", "File non trovato",
         "Attenzione: checksum globale non valido (registrato 0x0000, calcolato "},
        {"de_DE", "", "Please select a game from the list:", "ROMS reader", "File not found",
         "Warning: global checksum invalid (stored 0x0000, computed "},  // no .qm
        {"en_GB", "", "Please select a game from the list:", "ROMS reader", "File not found",
         "Warning: global checksum invalid (stored 0x0000, computed "},
    };
    QByteArray broken = romImage("BROKEN");
    broken[0x14E] = 0;
    broken[0x14F] = 0;
    for (const auto &c : cases) {
        EXPECT_EQ(vantorix::installTranslations(QLocale(QString::fromLatin1(c.locale))), QString::fromLatin1(c.installed));
        // The first start's interface file speaks the translation's language.
        EXPECT_EQ(vantorix::bundledInterfaceFile(), *c.installed ? "italian.txt" : "english.txt") << c.locale;
        FormsGuard forms;
        EXPECT_EQ(Form1->Label2->text(), QString::fromUtf8(c.prompt)) << c.locale;
        EXPECT_EQ(Form5->windowTitle(), QString::fromUtf8(c.reader)) << c.locale;
        EXPECT_EQ(vantorix::IoError::fromErrno(ENOENT).text(), QString::fromUtf8(c.error)) << c.locale;
        const QString tip = vantorix::detailToolTip(vantorix::decodeCartridge(broken), "/broken.gb");
        EXPECT_TRUE(tip.contains(QString::fromUtf8(c.checksum))) << tip.toStdString();
        // The interface file's texts replace the translated captions.
        writeFile(dir.filePath("english.txt"), readFile(QStringLiteral(SAMPLES_DIR "/english.txt")));
        vantorix::Configuration config;
        config.interfaceName = QStringLiteral("english.txt");
        const QString file = writeFile(dir.filePath("setup.cfg"), vantorix::serializeConfiguration(config));
        ASSERT_TRUE(Form1->loadConfigurationFile(file));
        EXPECT_EQ(Form1->Label2->text(), QStringLiteral("Please select a game from the list:")) << c.locale;
    }
    vantorix::installTranslations(QLocale(QLocale::English));

    // The command line speaks the language LC_ALL, LC_MESSAGES or LANG names.
    const struct {
        QStringList environment;
        const char *first;
    } commands[] = {
        {{"LANG=it_IT.UTF-8"}, "Uso: kelpad"},
        {{"LANG=it_IT.UTF-8", "LC_ALL=C"}, "Usage: kelpad"},
        {{"LANG=C", "LC_MESSAGES=it_IT.UTF-8"}, "Uso: kelpad"},
        {{"LANG=fr_FR.UTF-8"}, "Usage: kelpad"},
    };
    for (const auto &c : commands) {
        QProcess help;
        QStringList environment = QProcess::systemEnvironment().filter(QRegularExpression("^(?!LANG|LC_|LANGUAGE)"));
        help.setEnvironment(environment + c.environment);
        help.start(KELPAD_PATH, {"--help"});
        ASSERT_TRUE(help.waitForFinished(10000));
        EXPECT_TRUE(help.readAllStandardOutput().startsWith(c.first)) << c.environment.join(' ').toStdString();
    }
}

TEST(FirstStart, OnlyAbsoluteFoldersOfPathNameAProgram)
{
    QTemporaryDir dir;
    const QString program = "vantorix-test-emulator";
    for (const QString &folder : {dir.path(), dir.filePath("rel")}) {
        writeFile(folder + "/" + program, "#!/bin/sh\n");
        QFile::setPermissions(folder + "/" + program, QFile::ReadOwner | QFile::ExeOwner);
    }
    CurrentFolderGuard here;
    QDir::setCurrent(dir.path());
    const QByteArray path = qgetenv("PATH");
    for (const char *relative : {"", ":", ".", "rel", "::.:rel"}) {
        qputenv("PATH", relative);
        EXPECT_EQ(vantorix::findExecutable(program), QString()) << relative;
    }
    qputenv("PATH", "rel:" + QFile::encodeName(dir.filePath("rel")));
    EXPECT_EQ(vantorix::findExecutable(program), dir.filePath("rel") + "/" + program);
    qputenv("PATH", path);
}

TEST(FirstStart, TheEmulatorsFoundTheLanguagesInterfaceAndTheSampleGames)
{
    QTemporaryDir dir;
    const QString bin = dir.filePath("bin");
    for (const char *program : {"gngb", "vba", "retroarch", "mednafen", "vbam", "flatpak"}) {
        writeFile(bin + "/" + program, "#!/bin/sh\nexit 1\n");  // flatpak: no mGBA in it
        QFile::setPermissions(bin + "/" + program, QFile::ReadOwner | QFile::ExeOwner);
    }
    const vantorix::MachineProbe probe{
        [&](const QString &program) { return QStandardPaths::findExecutable(program, {bin}); },
        [](const QString &) { return false; },  // no libretro core
        [&](const QString &program, const QStringList &) { return program != QLatin1String("flatpak"); },
    };
    const auto found = vantorix::findEmulators(probe);
    QStringList commands;
    for (const auto &emulator : found)
        commands.append(emulator.command);
    EXPECT_EQ(commands, QStringList({"vbam", "vba", "mednafen", "gngb"}));

    const vantorix::Configuration config = vantorix::firstStartConfiguration(
        found, vantorix::bundledInterfaceFile(QStringLiteral("it")), QStringLiteral(SAMPLES_DIR "/roms"));
    EXPECT_EQ(config.interfaceName, QStringLiteral("italian.txt"));
    EXPECT_EQ(config.executables[2], QStringLiteral("mednafen"));
    EXPECT_EQ(config.displayNames[1], QStringLiteral("VisualBoyAdvance-M"));  // the slot every start checks
    EXPECT_EQ(config.executables[0], QStringLiteral("vba"));
    EXPECT_TRUE(config.gameList.contains(vantorix::composeEntry("STAR HOPPER", "STARHOP.GB")));
    EXPECT_TRUE(config.gameList.contains(vantorix::composeEntry("COLOR GARDEN", "COLOR/GARDEN.GB")));

    // Written once into an empty folder, never over a configuration.
    const QString folder = dir.filePath("home/.config/vantorix");
    const QString written = vantorix::writeFirstStartConfiguration(folder, config);
    EXPECT_EQ(written, folder + "/user.cfg");
    EXPECT_EQ(vantorix::parseConfiguration(readFile(written)), config);
    vantorix::Configuration other = config;
    other.gamesDirectory = QStringLiteral("/elsewhere");
    EXPECT_TRUE(vantorix::writeFirstStartConfiguration(folder, other).isEmpty());
    EXPECT_EQ(vantorix::parseConfiguration(readFile(written)), config);
    // A link in user.cfg's place, even a dangling one, is never written
    // through.
    const QString linked = dir.filePath("linked");
    QDir().mkpath(linked);
    ASSERT_TRUE(QFile::link(dir.filePath("elsewhere/target.txt"), linked + "/user.cfg"));
    EXPECT_TRUE(vantorix::writeFirstStartConfiguration(linked, config).isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath("elsewhere/target.txt")));
    // A home that cannot be written: nothing, and no error.
    writeFile(dir.filePath("file"), "x");
    EXPECT_TRUE(vantorix::writeFirstStartConfiguration(dir.filePath("file/vantorix"), config).isEmpty());
}

}  // namespace
