// The one start every window and the command use: what it refuses and why,
// what it starts, and the plays and time it counts, with real emulators
// (shell scripts standing in, and mGBA where it is installed).
#include "library/GameSaves.h"
#include "library/GameStart.h"
#include "library/LibraryChanges.h"
#include "library/LibraryStore.h"
#include "platform/FilePath.h"
#include "platform/ProgramStart.h"
#include "reading/Catalogue.h"
#include "samples/ArchiveMaker.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

using namespace testing_support;
using namespace vantorix;

namespace {

// Counts as the store would, without one.
struct Counted : PlayCounter {
    QStringList starts;
    QList<std::pair<QString, qint64>> ends;
    QStringList emulators;
    void started(const QString &game, const QString &emulator) override
    {
        starts.append(game);
        emulators.append(emulator);
    }
    void ended(const QString &game, qint64 seconds, const QString &) override { ends.append({game, seconds}); }
};

QString script(const QString &path, const QByteArray &body)
{
    writeFile(path, "#!/bin/sh\n" + body);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

TEST(GameStart, RefusesWithTheReasonAndStartsTheRest)
{
    QTemporaryDir dir;
    const QString root = QDir(dir.path()).canonicalPath();
    const QString rom = writeFile(root + "/games/-o.gb", readFile(SAMPLES_DIR "/roms/STARHOP.GB"));
    const QString empty = writeFile(root + "/games/empty.zip", makeArchive(ArchiveFormat::ZipDeflated, {{"notes.txt", "x"}}));
    QDir().mkpath(root + "/games/folder.gb");
    const QString recorder = script(root + "/bin/emu", "printf '%s\\n' \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.args\"\n");
    const QString notExecutable = writeFile(root + "/bin/plain", "#!/bin/sh\n");
    const struct {
        const char *what;
        QString rom;
        QString emulator;
        QString reasonStarts;  // empty: it starts
    } cases[] = {
        {"no emulator in the slot", rom, "", "No emulator is set in slot 3"},
        {"a file that is not there", root + "/games/gone.gb", recorder, "File not found: "},
        {"a folder", root + "/games/folder.gb", recorder, "Is a folder"},
        {"an archive without a ROM", empty, recorder, "No ROM"},
        {"a quote left open", rom, recorder + " 'x", "The emulator's command line has a quote"},
        {"no such program", rom, "no-such-emulator-here", "Cannot start \"no-such-emulator-here\""},
        {"a file that is no program", rom, notExecutable, "Cannot start"},
        {"a relative path and a name like an option", "games/-o.gb", recorder, ""},
    };
    const CurrentFolderGuard folder;
    QDir::setCurrent(root);
    for (const auto &test : cases) {
        SCOPED_TRACE(test.what);
        Counted counted;
        GameStarter starter(counted);
        QFile::remove(recorder + ".args");
        const StartFailure failure = starter.start(test.rom, test.emulator, 3);
        if (!test.reasonStarts.isEmpty()) {
            EXPECT_TRUE(failure.text.startsWith(test.reasonStarts, Qt::CaseInsensitive)) << failure.text.toStdString();
            EXPECT_TRUE(counted.starts.isEmpty());  // nothing counted
            EXPECT_EQ(starter.running(), 0);
            continue;
        }
        ASSERT_TRUE(failure.started()) << failure.text.toStdString();
        EXPECT_EQ(counted.starts, QStringList{rom});
        // The emulator gets the whole absolute path, never an option.
        ASSERT_TRUE(waitFor([&] { return QFile::exists(recorder + ".args"); }));
        EXPECT_EQ(readFile(recorder + ".args"), (rom + "\n").toUtf8());
        QSignalSpy ended(&starter, &GameStarter::allEnded);
        ASSERT_TRUE(waitFor([&] { return !ended.isEmpty(); }));
        EXPECT_EQ(counted.ends.size(), 1);
    }
}

// The time a game was played: from the emulator's start to its end,
// counted in the store by the file, whatever spelling started it.
TEST(GameStart, PlayTimeFromStartToEnd)
{
    QTemporaryDir dir;
    const QString root = QDir(dir.path()).canonicalPath();
    const QString rom = writeFile(root + "/games/A.GB", readFile(SAMPLES_DIR "/roms/STARHOP.GB"));
    const QString store = root + "/library.txt";
    Catalogue catalogue;
    LibraryChanges changes(catalogue, store);
    GameStarter starter(changes);
    QSignalSpy ended(&starter, &GameStarter::gameEnded);
    const QString sleeper = script(root + "/bin/sleeper", "sleep 3\n");
    const QString quitter = script(root + "/bin/quitter", "exit 1\n");

    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(starter.start(root + "/games/./A.GB", sleeper, 1).started());
    ASSERT_TRUE(starter.start(rom, quitter, 2).started());
    EXPECT_EQ(starter.running(), 2);
    ASSERT_TRUE(waitFor([&] { return ended.size() == 2; }, 60000));
    EXPECT_GE(clock.elapsed(), 2900);
    EXPECT_EQ(ended.at(0).at(1).toLongLong(), 0);  // stopped at once
    EXPECT_EQ(ended.at(1).at(1).toLongLong(), 3);
    ASSERT_TRUE(waitFor([&] { return changes.waitingPlays() == 0; }));
    // Kept by the ROM's content, with the path last seen and the emulator
    // last started.
    const auto kept = [&] {
        const LibraryStore read = LibraryStore::read(store);
        return read.games.isEmpty() ? GameHistory() : read.games.constBegin().value();
    };
    ASSERT_TRUE(waitFor([&] { return kept().play.seconds == 3; }));
    const GameHistory game = kept();
    EXPECT_EQ(game.play.count, 2);
    EXPECT_EQ(game.content.crc32, 0xf96d8c03u);
    EXPECT_EQ(game.lastPath, rom);
    EXPECT_EQ(game.emulator, quitter);
    EXPECT_EQ(LibraryStore::read(store).games.size(), 1);
    EXPECT_TRUE(LibraryStore::read(store).plays.isEmpty());
    EXPECT_TRUE(readFile(store).contains("\t2\t"));  // the count, then the time last
}

// A real emulator, as a user starts one: mGBA with SDL's dummy drivers,
// on a copy (it writes its save beside the ROM), ended by a signal.
TEST(GameStart, RealEmulatorIsReapedAndTimed)
{
    const QString mgba = findExecutable(QStringLiteral("mgba"));
    if (mgba.isEmpty())
        GTEST_SKIP() << "mgba (Debian's mgba-sdl) is not installed";
    QTemporaryDir dir;
    // A name of its own: only this test's emulator is ended, never another
    // test's running beside it.
    const QString rom = writeFile(dir.filePath("copy/TIMED-" + QString::number(::getpid()) + ".GB"),
                                  readFile(SAMPLES_DIR "/roms/STARHOP.GB"));
    qputenv("SDL_VIDEODRIVER", "dummy");
    qputenv("SDL_AUDIODRIVER", "dummy");
    Counted counted;
    GameStarter starter(counted);
    ASSERT_TRUE(starter.start(rom, mgba, 1).started());
    QSignalSpy ended(&starter, &GameStarter::allEnded);
    // Still running a moment later: then ended as a user closes it.
    EXPECT_FALSE(waitFor([&] { return !ended.isEmpty(); }, 1500));
    const QByteArray pids = [&] {
        QProcess pgrep;
        pgrep.start("pgrep", {"-f", "TIMED-" + QString::number(::getpid())});
        pgrep.waitForFinished(10000);
        return pgrep.readAllStandardOutput();
    }();
    for (const QByteArray &pid : pids.split('\n'))
        if (!pid.isEmpty())
            ::kill(pid.toInt(), SIGTERM);
    ASSERT_TRUE(waitFor([&] { return !ended.isEmpty(); }, 60000));
    ASSERT_EQ(counted.ends.size(), 1);
    EXPECT_GE(counted.ends.constFirst().second, 1);
    qunsetenv("SDL_VIDEODRIVER");
    qunsetenv("SDL_AUDIODRIVER");
}

// mGBA writes a battery save the game filled; once it ends, the save is
// backed up and the play kept by the game's content with its emulator.
TEST(GameStart, RealEmulatorSaveBackedUpAfterThePlay)
{
    const QString mgba = findExecutable(QStringLiteral("mgba"));
    if (mgba.isEmpty())
        GTEST_SKIP() << "mgba (Debian's mgba-sdl) is not installed";
    QTemporaryDir dir;
    // A cartridge with battery RAM whose program writes two bytes there and
    // waits: ld a,$0A; ld ($0000),a; ld a,$42; ld ($A000),a; ld a,$43;
    // ld ($A001),a; jr -2.
    QByteArray image = readFile(SAMPLES_DIR "/roms/STARHOP.GB");
    image.replace(0x100, 4, QByteArray::fromHex("00C35001"));
    const QByteArray program = QByteArray::fromHex("3E0AEA00003E42EA00A03E43EA01A018FE");
    image.replace(0x150, program.size(), program);
    image[0x147] = char(0x03);  // MBC1 + RAM + battery
    image[0x149] = char(0x02);  // 8 KiB
    quint8 check = 0;
    for (int i = 0x134; i < 0x14d; ++i)
        check = quint8(check - quint8(image.at(i)) - 1);
    image[0x14d] = char(check);
    const QString tag = "SAVING-" + QString::number(::getpid());
    const QString rom = writeFile(dir.filePath("copy/" + tag + ".GB"), image);
    const QString store = dir.filePath("library.txt");
    qputenv("SDL_VIDEODRIVER", "dummy");
    qputenv("SDL_AUDIODRIVER", "dummy");
    {
        Catalogue catalogue;
        LibraryChanges changes(catalogue, store);
        GameStarter starter(changes);
        QSignalSpy backedUp(&changes, &LibraryChanges::savesBackedUp);
        ASSERT_TRUE(starter.start(rom, mgba, 1).started());
        EXPECT_TRUE(starter.isRunning(rom));
        EXPECT_TRUE(waitFor([&] { return isArgumentOfRunningProgram(rom); }, 60000));
        const QString save = dir.filePath("copy/" + tag + ".sav");
        ASSERT_TRUE(waitFor([&] { return readFile(save).startsWith("BC"); }, 60000));
        QProcess::execute("pkill", {"-TERM", "-f", tag});
        ASSERT_TRUE(waitFor([&] { return !backedUp.isEmpty(); }, 60000));
        EXPECT_EQ(backedUp.constFirst().at(0).toInt(), 1);
        const QStringList backups = saveBackups("STAR HOPPER");
        ASSERT_FALSE(backups.isEmpty());
        EXPECT_TRUE(backups.constLast().endsWith(" mgba.sav")) << backups.constLast().toStdString();
        EXPECT_EQ(readFile(backups.constLast()), readFile(save));
        ASSERT_TRUE(waitFor([&] { return changes.waitingPlays() == 0; }, 60000));
    }
    const LibraryStore kept = LibraryStore::read(store);
    ASSERT_EQ(kept.games.size(), 1);
    EXPECT_EQ(kept.games.constBegin()->emulator, mgba);
    EXPECT_EQ(kept.games.constBegin()->play.count, 1);
    qunsetenv("SDL_VIDEODRIVER");
    qunsetenv("SDL_AUDIODRIVER");
}

}  // namespace
