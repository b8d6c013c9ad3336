// The user's files: written under their own bytes, told from files that are
// no configuration, never reached through a link of the program's own, and
// changed by one program at a time.
#include "commands/CommandLine.h"
#include "rom/GameListEntry.h"
#include "settings/Configuration.h"
#include "settings/ConfigurationFile.h"
#include "settings/LastConfiguration.h"
#include "settings/UserSettings.h"
#include "platform/FilePath.h"
#include "platform/IoError.h"
#include "platform/WholeFile.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace testing_support;
using namespace vantorix;

namespace {

// Every name in the folder, as bytes: names that are no UTF-8 included.
QList<QByteArray> namesIn(const QString &folder)
{
    QList<QByteArray> names;
    if (DIR *dir = ::opendir(encodePath(folder).constData())) {
        while (const dirent *entry = ::readdir(dir))
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, ".."))
                names.append(entry->d_name);
        ::closedir(dir);
    }
    return names;
}

// QTemporaryDir cannot remove what it cannot name.
void removeRawNames(const QString &folder)
{
    for (const QByteArray &name : namesIn(folder))
        if (!isAscii(name))
            ::unlink((encodePath(folder) + '/' + name).constData());
}

// The records' folder for the test's span, put back after it.
class StateFolder {
public:
    explicit StateFolder(const QByteArray &folder) : saved_(qgetenv("XDG_STATE_HOME")) { qputenv("XDG_STATE_HOME", folder); }
    ~StateFolder() { qputenv("XDG_STATE_HOME", saved_); }

private:
    QByteArray saved_;
};

Configuration someConfiguration(const QString &games)
{
    Configuration config;
    config.gamesDirectory = games;
    config.executables[1] = QStringLiteral("mgba");
    config.gameList = {composeEntry("OLD", "OLD.GB")};
    return config;
}

TEST(UserFiles, NamesInTheirOwnBytes)
{
    QTemporaryDir dir;
    const QByteArray root = QFile::encodeName(dir.path());
    const QByteArray names[] = {"caf\xe9.cfg", "caf\xc3\xa9.cfg", "\xff\xfe odd\x80.cfg", "plain.cfg"};
    for (const QByteArray &name : names) {
        const QString path = decodePath(root + "/" + name);
        createRaw(root + "/" + name, serializeConfiguration(someConfiguration("/g")));
        Configuration config = readConfigurationFile(path);
        config.gameList.append(composeEntry("NEW", "NEW.GB"));
        writeConfigurationFile(path, config);
        // The same file, and no other, holds the change.
        EXPECT_EQ(readConfigurationFile(path).gameList.size(), 2) << name.toStdString();
        EXPECT_TRUE(isRegularFile(path)) << name.toStdString();
    }
    EXPECT_EQ(namesIn(dir.path()).size(), 4);  // no other file made beside them

    // The records of the last configuration and the last game keep such a
    // name, and one with a line break, whole.
    const StateFolder state(root + "/state");
    const QString latin = decodePath(root + "/caf\xe9.cfg");
    rememberLastConfiguration(latin);
    EXPECT_EQ(lastConfigurationFile(), latin);
    const QString broken = decodePath(root + "/A\nB.GB");
    rememberLastPlayedRom(broken);
    EXPECT_EQ(lastPlayedRom(), broken);
    removeRawNames(dir.path());
}

TEST(UserFiles, WhatCountsAsAConfiguration)
{
    const QByteArray saved = serializeConfiguration(someConfiguration("/g"));
    const struct {
        const char *what;
        QByteArray bytes;
        bool configuration;
    } files[] = {
        {"a saved one", saved, true},
        {"one of the first four lines", "## Configuration file\r\n## by\r\n## x\r\n\r\n", true},
        {"one ended by LF alone (a single line)", QByteArray(saved).replace("\r\n", "\n"), true},
        {"settings", "[reader]\nnamesFromDatabases=true\n", false},
        {"Markdown", "## Notes\n\nSome text\n\nMore text\n\n## Later\n", false},
        {"Markdown with a 5th heading", "## A\n\nx\n\n## B\n\ny\n\nz\n", false},
        {"empty", "", false},
        {"a ROM", romImage("TETRIS"), false},
        {"a zip", QByteArray("PK\x03\x04", 4) + QByteArray(100, '\0'), false},
    };
    for (const auto &f : files)
        EXPECT_EQ(isConfigurationText(f.bytes), f.configuration) << f.what;

    // Any other file is neither read as one nor written over.
    QTemporaryDir dir;
    const QString settings = writeFile(dir.filePath("settings.ini"), "[reader]\nnamesFromDatabases=true\n");
    try {
        readConfigurationFile(settings);
        ADD_FAILURE() << "settings read as a configuration";
    } catch (const IoError &error) {
        EXPECT_EQ(error.code(), IoError::NotConfiguration);
    }
    EXPECT_THROW(writeConfigurationFile(settings, Configuration()), IoError);
    EXPECT_EQ(readFile(settings), "[reader]\nnamesFromDatabases=true\n");
    // An empty file, or one made new, takes a configuration.
    const QString empty = writeFile(dir.filePath("empty.cfg"), "");
    writeConfigurationFile(empty, Configuration());
    writeConfigurationFile(dir.filePath("new.cfg"), Configuration());
    EXPECT_TRUE(isConfigurationText(readFile(empty)));
    EXPECT_TRUE(isConfigurationText(readFile(dir.filePath("new.cfg"))));
}

TEST(UserFiles, StartedAsRomOrLoadedAsConfiguration)
{
    QTemporaryDir dir;
    QByteArray unlicensed = romImage("HOMEBREW");
    unlicensed.replace(0x104, 48, QByteArray(48, '\0'));
    const struct {
        const char *name;
        QByteArray bytes;
        bool rom;
    } files[] = {
        {"homebrew.gb", unlicensed, true},
        {"NoRom.GBC", QByteArray("PK\x05\x06", 4) + QByteArray(18, '\0'), true},
        {"game.bin", readFile(SAMPLES_DIR "/roms/STARHOP.GB"), true},
        {"user.cfg", serializeConfiguration(Configuration()), false},
        {"notes.txt", "text", false},
    };
    for (const auto &f : files) {
        CommandLine line = parseCommandLine({"kelpad", "--", writeFile(dir.filePath(f.name), f.bytes)});
        sortStartFiles(line);
        EXPECT_EQ(line.romFiles.size(), f.rom ? 1 : 0) << f.name;
        EXPECT_EQ(line.configFile.isEmpty(), f.rom) << f.name;
    }
}

TEST(UserFiles, OwnFilesNeverThroughALink)
{
    QTemporaryDir dir;
    const QString notes = writeFile(dir.filePath("notes.txt"), "my notes");
    std::optional<StateFolder> state(std::in_place, QFile::encodeName(dir.filePath("state")));
    const QString records = dir.filePath("state/vantorix");
    QDir().mkpath(records);
    for (const QString &record : {records + "/last-played", records + "/last-configuration"}) {
        ASSERT_EQ(::symlink(QFile::encodeName(notes).constData(), QFile::encodeName(record).constData()), 0);
        // A link reads as no record at all.
        EXPECT_EQ(readOwnFile(record, 1024), QByteArray());
    }
    EXPECT_EQ(lastPlayedRom(), QString());
    rememberLastPlayedRom("/games/a.gb");
    rememberLastConfiguration(notes);
    EXPECT_EQ(readFile(notes), "my notes");
    EXPECT_EQ(lastPlayedRom(), "/games/a.gb");
    EXPECT_FALSE(QFileInfo(records + "/last-played").isSymLink());
    // A configuration of the user's is still saved through its link.
    const QString real = writeFile(dir.filePath("real.cfg"), serializeConfiguration(Configuration()));
    ASSERT_EQ(::symlink("real.cfg", QFile::encodeName(dir.filePath("link.cfg")).constData()), 0);
    writeConfigurationFile(dir.filePath("link.cfg"), someConfiguration("/g"));
    EXPECT_TRUE(QFileInfo(dir.filePath("link.cfg")).isSymLink());
    EXPECT_EQ(readConfigurationFile(real).gamesDirectory, "/g");
    state.reset();

    // The settings: a FIFO is never read (it would never answer), and a
    // stale lock that is a folder holds a choice for this run only.
    const QString fifo = dir.filePath("fifo/settings.ini");
    QDir().mkpath(dir.filePath("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    EXPECT_FALSE(UserSettings(fifo).namesFromDatabases());
    EXPECT_FALSE(UserSettings(fifo).setNamesFromDatabases(true));
    EXPECT_TRUE(UserSettings(fifo).namesFromDatabases());
    const QString locked = dir.filePath("locked/settings.ini");
    QDir().mkpath(locked + ".lock");
    EXPECT_FALSE(UserSettings(locked).setIncludeSubfolders(true));
    EXPECT_TRUE(UserSettings(locked).includeSubfolders());
    EXPECT_TRUE(UserSettings(dir.filePath("fine/settings.ini")).setIncludeSubfolders(true));
}

// kelpad --add, as a file manager runs it: many at once on one
// configuration, files already in the list, names the list cannot hold,
// the user's choice of names, and files that are no configuration.
TEST(UserFiles, AddCommandLocksSkipsAndRefuses)
{
    QTemporaryDir dir;
    const QByteArray root = QFile::encodeName(QDir(dir.path()).canonicalPath());
    const QString games = decodePath(root + "/games");
    const QByteArray star = readFile(SAMPLES_DIR "/roms/STARHOP.GB");
    // The configuration's name is no UTF-8: Latin-1 from an old archive.
    const QString config = decodePath(root + "/caf\xe9.cfg");
    createRaw(encodePath(config), serializeConfiguration(someConfiguration(games)));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_STATE_HOME", QString::fromLocal8Bit(root + "/state"));
    env.insert("XDG_CONFIG_HOME", QString::fromLocal8Bit(root + "/config"));
    const auto remember = [&](const QString &file) {
        const StateFolder state(root + "/state");
        rememberLastConfiguration(file);
    };
    remember(config);
    const auto start = [&](QProcess &kelpad, const QStringList &files) {
        kelpad.setProcessEnvironment(env);
        kelpad.start(KELPAD_PATH, QStringList{"--dat", SAMPLES_DIR "/vantorix-samples.xml", "--add"} + files);
    };
    const auto add = [&](const QStringList &files) {
        QProcess kelpad;
        start(kelpad, files);
        EXPECT_TRUE(kelpad.waitForFinished(60000));
        return std::pair{kelpad.exitCode(), QString::fromUtf8(kelpad.readAllStandardOutput() + kelpad.readAllStandardError())};
    };

    // Twenty at once, each its own game: all twenty kept.
    std::vector<std::unique_ptr<QProcess>> running;
    for (int i = 0; i < 20; ++i) {
        const QString rom = writeFile(games + QString("/copy%1.gb").arg(i, 2, 10, QChar('0')), star);
        running.push_back(std::make_unique<QProcess>());
        start(*running.back(), {rom});
    }
    for (auto &kelpad : running) {
        EXPECT_TRUE(kelpad->waitForFinished(60000));
        EXPECT_EQ(kelpad->exitCode(), 0) << kelpad->readAllStandardError().toStdString();
    }
    EXPECT_EQ(readConfigurationFile(config).gameList.size(), 21);
    // No other file beside it: the games, the records and the configuration.
    EXPECT_EQ(namesIn(QString::fromLocal8Bit(root)).size(), 3);

    // The same file again, by its name and through a link: not added.
    ASSERT_EQ(::symlink("games/copy00.gb", (root + "/again.gb").constData()), 0);
    auto [status, said] = add({games + "/copy00.gb", decodePath(root + "/again.gb")});
    EXPECT_EQ(status, 0);
    EXPECT_EQ(said.count("already in the list"), 2) << said.toStdString();
    EXPECT_EQ(readConfigurationFile(config).gameList.size(), 21);

    // A name the list cannot hold back, refused with the reason.
    const QString newline = writeFile(games + "/A\nB.GB", star);
    std::tie(status, said) = add({newline});
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(said.contains("line break")) << said.toStdString();

    // Names follow the user's choice: the header's title while it is off,
    // the databases' name once on.
    const QString plain = writeFile(games + "/plain.gb", star);
    add({plain});
    EXPECT_EQ(readConfigurationFile(config).gameList.constLast(), composeEntry("STAR HOPPER", "PLAIN.GB"));
    UserSettings(decodePath(root + "/config/vantorix/settings.ini")).setNamesFromDatabases(true);
    const QString named = writeFile(games + "/named.gb", star);
    add({named});
    EXPECT_TRUE(readConfigurationFile(config).gameList.constLast().startsWith("Star Hopper"));

    // The last configuration turned into something else: left as it is.
    const QString settings = writeFile(QString::fromLocal8Bit(root) + "/settings.ini", "[reader]\n");
    remember(settings);
    std::tie(status, said) = add({plain});
    EXPECT_EQ(status, 2);
    EXPECT_TRUE(said.contains("Not a configuration file")) << said.toStdString();
    EXPECT_EQ(readFile(settings), "[reader]\n");
    removeRawNames(dir.path());
}

}  // namespace
