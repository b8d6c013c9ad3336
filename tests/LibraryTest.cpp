// The library's core: what --library-list prints of each kind of file, each
// file once however it is reached, plays counted from every kind of start,
// the store kept whole, and the watch when the system's watches run out.
#include "settings/Configuration.h"
#include "settings/LastConfiguration.h"
#include "library/LibraryList.h"
#include "library/LibraryStore.h"
#include "library/LibraryWatch.h"
#include "reading/Catalogue.h"
#include "platform/FilePath.h"
#include "platform/IoError.h"
#include "settings/ConfigurationFile.h"
#include "samples/ArchiveMaker.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace testing_support;
using namespace vantorix;

namespace {

TEST(Library, ListOfEveryKindOfFileEachOnce)
{
    QTemporaryDir dir;
    const QString root = QDir(dir.path()).canonicalPath();
    const QString games = root + "/games";
    const QByteArray star = readFile(SAMPLES_DIR "/roms/STARHOP.GB");
    QByteArray colourOnly = romImage("ONLY COLOUR", 32768);
    colourOnly[0x143] = char(0xC0);
    writeFile(games + "/star.gb", star);                                  // named by the database
    writeFile(games + "/Colour/only.gbc", colourOnly);                    // colour flag 0xC0
    QByteArray copier(512, '\0');
    copier[0] = char(star.size() / 8192);  // the copier's count of 8 KiB blocks
    writeFile(games + "/copier.gb", copier + star);                       // a copier's header before it
    writeFile(games + "/zipped.zip", makeArchive(ArchiveFormat::ZipDeflated, {{"inside.gb", romImage("ZIPPED")}}));
    writeFile(games + "/untitled.gb", romImage(""));                      // titled by its file
    ASSERT_EQ(::symlink("star.gb", QFile::encodeName(games + "/again.gb").constData()), 0);
    // A folder inside another, added too: its games still once.
    int status = -1;
    runKelpad({"--library-add", games, games + "/Colour", root + "/missing"}, &status);
    EXPECT_EQ(status, 1);  // the missing folder named
    const QString list = runKelpad({"--dat", SAMPLES_DIR "/vantorix-samples.dat", "--library-list"}, &status);
    EXPECT_EQ(status, 0);
    QStringList lines = list.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6) << list.toStdString();
    EXPECT_EQ(lines.at(0), "name\tsystem\tregion\tsize\tcrc32\tverified\tplayed\tlast played\tpath"
                           "\tcopies\tplay time\temulator\tsave");
    const auto row = [&](const QString &path) {
        for (const QString &line : lines)
            if (line.split('\t').value(8) == path)
                return line.split('\t').mid(0, 8);
        return QStringList();
    };
    const QString starCrc = "f96d8c03";
    const struct {
        QString path;
        QStringList fields;
    } rows[] = {
        {games + "/Colour/only.gbc", {"ONLY COLOUR", "GBC", "", "32768", row(games + "/Colour/only.gbc").value(4), "no", "0", ""}},
        {games + "/copier.gb", {"Star Hopper (World) (Rev 1)", "GB", "World", "32768", starCrc, "yes", "0", ""}},
        {games + "/star.gb", {"Star Hopper (World) (Rev 1)", "GB", "World", "32768", starCrc, "yes", "0", ""}},
        {games + "/untitled.gb", {"untitled", "GB", "", "32768", row(games + "/untitled.gb").value(4), "no", "0", ""}},
        {games + "/zipped.zip", {"ZIPPED", "GB", "", "32768", row(games + "/zipped.zip").value(4), "no", "0", ""}},
    };
    for (const auto &r : rows) {
        EXPECT_EQ(row(r.path), r.fields) << r.path.toStdString();
        EXPECT_EQ(row(r.path).value(4).size(), 8) << r.path.toStdString();
    }
    EXPECT_TRUE(row(games + "/again.gb").isEmpty());  // the link is star.gb again
    // Sorted by path.
    QStringList paths;
    for (const QString &line : lines.mid(1))
        paths.append(line.section('\t', 8, 8));
    QStringList sorted = paths;
    sorted.sort();
    EXPECT_EQ(paths, sorted);

    // Removed: the folder only; no file is touched.
    runKelpad({"--library-remove", games}, &status);
    EXPECT_EQ(status, 0);
    runKelpad({"--library-remove", games}, &status);
    EXPECT_EQ(status, 1);  // no longer there
    lines = runKelpad({"--library-list"}).split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), 2);  // the header and the one game of Colour
    EXPECT_TRUE(QFile::exists(games + "/star.gb"));
    runKelpad({"--library-remove", games + "/Colour"});
}

TEST(Library, ListSortedByPathBytesWithCopiesAndSaves)
{
    // Paths that share a long start, one the start of another, bytes that
    // are no UTF-8 and control characters: sorted by their bytes, written
    // safe; copies counted by content; each save at its own game's line.
    struct Row {
        QByteArray path;
        RomKey content;
        QByteArray save;
    };
    const QByteArray shared = "/roms/Game Boy/Collection/";
    const Row rows[] = {
        {shared + "Tetris (World) (Rev 1).gb", {0x46df91ad, 32768}, ""},
        {shared + "Tetris (World).gb", {0x63f9407d, 32768}, shared + "Tetris (World).sav"},
        {shared + "Tetris (World).gb.zip", {0x63f9407d, 32768}, ""},
        {shared + "Tetris", {0x63f9407d, 32768}, ""},
        {shared + "Caf\xe9.gb", {0x01020304, 65536}, ""},
        {shared + "Cafe.gb", {}, ""},
        {shared + "line\nbreak.gb", {0x0a0b0c0d, 1024}, shared + "line\nbreak.sav"},
        {"/a.gb", {0x11111111, 512}, ""},
    };
    const LibraryStore store;
    LibraryList list(store);
    QHash<size_t, QByteArray> saves;
    for (const Row &row : rows) {
        LibraryGame game;
        game.path = decodePath(row.path);
        game.name = QStringLiteral("Name\t") + QString::number(list.size());
        game.hasCrc = row.content.isValid();
        game.crc32 = row.content.crc32;
        game.size = row.content.isValid() ? row.content.size : 99;
        if (!row.save.isEmpty())
            saves.insert(list.size(), row.save);
        list.add(game);
        EXPECT_EQ(list.pathOf(list.size() - 1), row.path);
    }
    std::vector<const Row *> expected;
    for (const Row &row : rows)
        expected.push_back(&row);
    std::sort(expected.begin(), expected.end(), [](const Row *a, const Row *b) { return a->path < b->path; });
    const QByteArray text = list.text(saves);
    const QList<QByteArray> lines = text.split('\n');
    ASSERT_EQ(lines.size(), qsizetype(std::size(rows)) + 2) << text.constData();  // the header, the end
    const auto safe = [](QByteArray bytes) { return bytes.replace('\n', '?').replace('\t', '?'); };
    for (size_t i = 0; i < expected.size(); ++i) {
        const QList<QByteArray> fields = lines.at(qsizetype(i) + 1).split('\t');
        ASSERT_EQ(fields.size(), 13) << lines.at(qsizetype(i) + 1).constData();
        EXPECT_EQ(fields.at(8), safe(expected[i]->path));
        const int copies = expected[i]->content.crc32 == 0x63f9407d ? 3 : 1;
        EXPECT_EQ(fields.at(9), QByteArray::number(copies)) << fields.at(8).constData();
        EXPECT_EQ(fields.at(12), safe(expected[i]->save));
        EXPECT_TRUE(fields.at(0).startsWith("Name?")) << fields.at(0).constData();
    }

    // Written in pieces, the text is the same however long: 3,000 lines of
    // long names cross the pieces' bounds.
    LibraryList many(store);
    for (int i = 0; i < 3000; ++i) {
        LibraryGame game;
        game.path = QStringLiteral("/many/%1.gb").arg(2999 - i, 4, 10, QLatin1Char('0'));
        game.name = QString(200, QLatin1Char('x'));
        many.add(game);
    }
    QByteArray pieces;
    int count = 0;
    ASSERT_TRUE(many.write({}, [&](QByteArrayView piece) {
        pieces += piece;
        ++count;
        return true;
    }));
    EXPECT_GT(count, 1);
    EXPECT_EQ(pieces, many.text());
    EXPECT_TRUE(pieces.split('\n').at(1).contains("\t/many/0000.gb\t"));
    EXPECT_FALSE(many.write({}, [](QByteArrayView) { return false; }));  // a writer that fails stops it
}

TEST(Library, PlaysFromEveryStartAndTheStoreKeptWhole)
{
    QTemporaryDir dir;
    const QString root = QDir(dir.path()).canonicalPath();
    const QString rom = writeFile(root + "/games/star.gb", readFile(SAMPLES_DIR "/roms/STARHOP.GB"));
    runKelpad({"--library-add", root + "/games"});
    // A file manager's double click: the emulator of the configuration
    // last used, and one play.
    Configuration config;
    config.executables[1] = QStringLiteral("/bin/true");
    const QString file = writeFile(root + "/mine.cfg", serializeConfiguration(config));
    rememberLastConfiguration(file);
    int status = -1;
    runKelpad({"--", rom}, &status);
    EXPECT_EQ(status, 0);
    // The window's plays go through the same record; the later time is
    // the last.
    LibraryStore::recordPlay(rom, QDateTime(QDate(2036, 12, 1), QTime(20, 15)).toUTC());
    const QStringList fields = runKelpad({"--library-list"}).split('\n', Qt::SkipEmptyParts).value(1).split('\t');
    ASSERT_EQ(fields.size(), 13);
    EXPECT_EQ(fields.at(6), "2");
    EXPECT_EQ(fields.at(7), "2036-12-01 20:15");

    // Names of any bytes, tabs and line breaks included, come back; a file
    // that is no store is not taken; a link at the store is replaced.
    LibraryStore store;
    store.folders = {decodePath("/caf\xe9/x"), "/with\ttab", "/line\nbreak", "/100%"};
    store.plays.insert("/a\tb.gb", PlayRecord{3, QDateTime::fromSecsSinceEpoch(1'700'000'000, Qt::UTC), {}});
    store.favourites.insert("/fav\n.gb");
    const LibraryStore back = LibraryStore::parse(store.serialize());
    EXPECT_EQ(back.folders, store.folders);
    EXPECT_EQ(back.plays.value("/a\tb.gb").count, 3);
    EXPECT_EQ(back.plays.value("/a\tb.gb").last, store.plays.value("/a\tb.gb").last);
    EXPECT_EQ(back.favourites, store.favourites);
    runKelpad({"--library-remove", root + "/games"});
}

// A store that cannot be read whole is never written over: every change is
// refused with the reason, and the store stays byte for byte.
TEST(Library, StoreNeverWrittenOverUnlessReadWhole)
{
    const QByteArray mine = "# Vantorix library 1\nfolder\t/home/me/roms\nplayed\t/home/me/roms/A.GB\t7\t1700000000\n"
                            "favourite\t/home/me/roms/A.GB\n";
    struct Case {
        const char *what;
        QByteArray content;  // of the file at the store's place
        bool refused;
    } const cases[] = {
        {"CR LF line ends", QByteArray(mine).replace("\n", "\r\n"), false},
        {"lines and fields of another version",
         mine + "rating\t/home/me/roms/A.GB\t5\nplayed\t/x.gb\t1\t1\tmore\nplayed\t/y.gb\t1\t1\t0\t42\n", false},
        {"a newer version", "# Vantorix library 3\nfolder\t/home/me/roms\nseen\tx\n", true},
        {"no store of ours", "[General]\nkey=value\n", true},
        {"larger than 64 MiB", "# Vantorix library 1\n" + QByteArray(65 << 20, '#'), true},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.what);
        QTemporaryDir dir;
        const QString store = dir.filePath("library.txt");
        writeFile(store, test.content);
        bool failed = false;
        try {
            LibraryStore::addFolders({"/other"}, store);
        } catch (const IoError &error) {
            failed = true;
            EXPECT_FALSE(error.text().isEmpty());
        }
        EXPECT_EQ(failed, test.refused);
        if (test.refused) {
            EXPECT_EQ(readFile(store), test.content);
            EXPECT_FALSE(LibraryStore::read(store).problem.isEmpty());
            continue;
        }
        // Read whole: what it held is kept, what this version does not
        // know written back as it was.
        const LibraryStore back = LibraryStore::read(store);
        EXPECT_EQ(back.folders, QStringList({"/home/me/roms", "/other"}));
        EXPECT_EQ(back.plays.value("/home/me/roms/A.GB").count, 7);
        EXPECT_TRUE(back.favourites.contains("/home/me/roms/A.GB"));
        for (const QByteArray &line : test.content.split('\n')) {
            if (line.startsWith("rating") || line.endsWith("more") || line.endsWith("42")) {
                EXPECT_TRUE(readFile(store).contains(line + '\n')) << line.constData();
            }
        }
    }

    // The command says so and changes nothing.
    QTemporaryDir home;
    const QString store = home.filePath("vantorix/library.txt");
    writeFile(store, "# Vantorix library 3\nfolder\t/home/me/roms\n");
    QProcess kelpad;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", home.path());
    kelpad.setProcessEnvironment(environment);
    kelpad.start(KELPAD_PATH, {"--library-add", home.path()});
    ASSERT_TRUE(kelpad.waitForFinished(60000));
    EXPECT_EQ(kelpad.exitCode(), 1);
    EXPECT_TRUE(kelpad.readAllStandardError().contains("newer version"));
    EXPECT_EQ(readFile(store), "# Vantorix library 3\nfolder\t/home/me/roms\n");
}

// A link at the store: followed to a store, changed there atomically;
// refused when it leads to anything else. One lock for one store, however
// its folder is reached and whether it is there yet or not.
TEST(Library, StoreThroughLinksAndOneLock)
{
    QTemporaryDir dir;
    const QString root = QDir(dir.path()).canonicalPath();
    const QString dotfiles = writeFile(root + "/dotfiles/library.txt", "# Vantorix library 1\nfolder\t/mine\n");
    const QString notes = writeFile(root + "/notes.txt", "mine");
    const struct {
        const char *what;
        QString target;
        bool refused;
    } cases[] = {
        {"a link to a store", dotfiles, false},
        {"a link to another file", notes, true},
        {"a link to nothing", root + "/nothing.txt", true},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(test.what);
        const QString link = root + "/data/library.txt";
        QDir().mkpath(root + "/data");
        QFile::remove(link);
        ASSERT_EQ(::symlink(QFile::encodeName(test.target).constData(), QFile::encodeName(link).constData()), 0);
        const QByteArray before = QFile::exists(test.target) ? readFile(test.target) : QByteArray();
        bool failed = false;
        try {
            LibraryStore::toggleFavourite("/mine/A.GB", link);
        } catch (const IoError &) {
            failed = true;
        }
        EXPECT_EQ(failed, test.refused);
        EXPECT_TRUE(QFileInfo(link).isSymLink());  // the link itself stays
        if (test.refused)
            EXPECT_EQ(QFile::exists(test.target) ? readFile(test.target) : QByteArray(), before);
        else
            EXPECT_TRUE(readFile(test.target).contains("favourite\t/mine/A.GB"));
    }

    // Through a linked data folder, before the store is there and after.
    QDir().mkpath(root + "/real");
    ASSERT_EQ(::symlink(QFile::encodeName(root + "/real").constData(), QFile::encodeName(root + "/linked").constData()), 0);
    EXPECT_EQ(ConfigurationLock::lockFileOf(root + "/linked/library.txt"),
              ConfigurationLock::lockFileOf(root + "/real/library.txt"));
    LibraryStore::addFolders({"/a"}, root + "/linked/library.txt");
    EXPECT_EQ(ConfigurationLock::lockFileOf(root + "/linked/library.txt"),
              ConfigurationLock::lockFileOf(root + "/real/library.txt"));

    // Where no lock can be made (a home that cannot be written), the
    // change goes on without one.
    const QByteArray state = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", QFile::encodeName(notes + "/state"));  // below a file: no folder there
    EXPECT_NO_THROW(LibraryStore::addFolders({"/b"}, root + "/real/library.txt"));
    qputenv("XDG_STATE_HOME", state);
    EXPECT_EQ(LibraryStore::read(root + "/real/library.txt").folders, QStringList({"/a", "/b"}));
}

// The sample games stand in for a library only until the user adds a
// folder: not added beside the user's, gone with the first of them.
TEST(Library, SamplesGiveWayToTheUsersFolders)
{
    QTemporaryDir dir;
    const QString store = dir.filePath("library.txt");
    EXPECT_EQ(LibraryStore::addFolders({"/samples"}, store, true), QStringList{"/samples"});
    EXPECT_EQ(LibraryStore::addFolders({"/mine"}, store), QStringList{"/mine"});
    EXPECT_EQ(LibraryStore::read(store).folders, QStringList{"/mine"});
    EXPECT_TRUE(LibraryStore::addFolders({"/samples"}, store, true).isEmpty());
    EXPECT_EQ(LibraryStore::read(store).folders, QStringList{"/mine"});
}

// Folders of the system's are no library folders, and a link leads out of
// the library's trees once: /proc/PID/cwd never walks the whole disk.
TEST(Library, SystemFoldersRefusedAndLinksFollowedOnce)
{
    QTemporaryDir dir;
    const QString games = QDir(dir.path()).canonicalPath() + "/games";
    writeFile(games + "/star.gb", readFile(SAMPLES_DIR "/roms/STARHOP.GB"));
    writeFile(dir.filePath("outside/inner/far.gb"), romImage("FAR AWAY"));
    ASSERT_EQ(::symlink("/proc", QFile::encodeName(games + "/proc").constData()), 0);
    ASSERT_EQ(::symlink(QFile::encodeName(dir.filePath("outside")).constData(),
                        QFile::encodeName(games + "/outside").constData()), 0);
    ASSERT_EQ(::symlink(QFile::encodeName(games).constData(),
                        QFile::encodeName(dir.filePath("outside/back")).constData()), 0);
    int status = -1;
    for (const char *system : {"/proc", "/sys", "/proc/self/cwd/.."}) {
        QProcess kelpad;
        kelpad.start(KELPAD_PATH, {"--library-add", system});
        ASSERT_TRUE(kelpad.waitForFinished(60000));
        EXPECT_EQ(kelpad.exitCode(), 1) << system;
        EXPECT_TRUE(kelpad.readAllStandardError().contains("system")) << system;
    }
    runKelpad({"--library-add", games}, &status);
    EXPECT_EQ(status, 0);
    const QStringList lines = runKelpad({"--library-list"}, &status).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);  // the header, the game and the one through the link out
    EXPECT_TRUE(lines.at(1).contains("/outside/inner/far.gb\t") || lines.at(2).contains("/outside/inner/far.gb\t"));
    runKelpad({"--library-remove", games});
}

// Plays and favourites belong to the file, however its path was typed;
// counts that would overflow stay at the largest.
TEST(Library, PlaysByTheFileNotItsSpelling)
{
    QTemporaryDir dir;
    const QString root = QDir(dir.path()).canonicalPath();
    const QString rom = writeFile(root + "/roms/A.GB", readFile(SAMPLES_DIR "/roms/STARHOP.GB"));
    ASSERT_EQ(::symlink("roms", QFile::encodeName(root + "/linked").constData()), 0);
    const QString store = root + "/library.txt";
    for (const QString &spelling : {root + "/roms/A.GB", root + "/roms/./A.GB", root + "/linked/A.GB",
                                    root + "/roms/../roms/A.GB"})
        LibraryStore::recordPlay(spelling, QDateTime::currentDateTimeUtc(), store);
    LibraryStore read = LibraryStore::read(store);
    EXPECT_EQ(read.plays.size(), 1);
    EXPECT_EQ(read.plays.value(rom).count, 4);
    EXPECT_TRUE(LibraryStore::toggleFavourite(root + "/linked/A.GB", store));
    EXPECT_FALSE(LibraryStore::toggleFavourite(rom, store));  // the same game: no longer a favourite

    const struct {
        const char *what;
        QByteArray stored;
        qint64 expected;
    } counts[] = {
        {"past 32 bits", "2147483647", 2147483648LL},
        {"at the largest", "9223372036854775807", 9223372036854775807LL},
        {"spelled twice", "5\t1\nplayed\t" + (root + "/roms/./A.GB").toUtf8() + "\t6", 12},
    };
    for (const auto &test : counts) {
        SCOPED_TRACE(test.what);
        writeFile(store, "# Vantorix library 1\nplayed\t" + rom.toUtf8() + "\t" + test.stored + "\t1\n");
        LibraryStore::recordPlay(rom, QDateTime::currentDateTimeUtc(), store);
        EXPECT_EQ(LibraryStore::read(store).plays.value(rom).count, test.expected);
    }
}

TEST(Library, WatchesThatRunOutBecomeALightPass)
{
    QTemporaryDir dir;
    for (const char *folder : {"a/one", "a/two", "a/three"})
        QDir().mkpath(dir.filePath(folder));
    Catalogue catalogue;
    LibraryWatch watch(catalogue, nullptr, 2);
    QSignalSpy limit(&watch, &LibraryWatch::limitReached);
    QSignalSpy changed(&watch, &LibraryWatch::placesChanged);
    watch.watch({dir.filePath("a")});
    ASSERT_TRUE(waitFor([&] { return watch.settled(); }));
    EXPECT_EQ(limit.count(), 1);
    EXPECT_TRUE(watch.polling());
    // A file in a folder no watch reaches is seen by the light pass.
    writeFile(dir.filePath("a/three/new.gb"), "x");
    EXPECT_TRUE(waitFor([&] { return changed.count() > 0; }, 3 * LibraryWatch::kPollMs));
    const auto places = changed.constFirst().constFirst().value<QList<LibraryPlace>>();
    ASSERT_EQ(places.size(), 1);
    EXPECT_EQ(places.constFirst().directory, dir.filePath("a"));
    EXPECT_TRUE(places.constFirst().subfolders);
    // Said once only.
    watch.watch({dir.filePath("a")});
    ASSERT_TRUE(waitFor([&] { return watch.settled(); }));
    EXPECT_EQ(limit.count(), 1);
    // Within the limit the watches do it all.
    LibraryWatch roomy(catalogue);
    roomy.watch({dir.filePath("a")});
    ASSERT_TRUE(waitFor([&] { return roomy.settled(); }));
    EXPECT_FALSE(roomy.polling());
    EXPECT_EQ(roomy.watchedCount(), 4);
}

}  // namespace
