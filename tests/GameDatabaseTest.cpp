// Games by their real names: the two DAT forms, the keys they are looked
// up by, the hash cache, and what the commands print.
#include "rom/GameListEntry.h"
#include "names/CartridgeDetails.h"
#include "names/DatReader.h"
#include "names/GameDatabase.h"
#include "reading/Catalogue.h"
#include "names/HashCache.h"
#include "samples/ArchiveMaker.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include <sys/stat.h>
#include <fcntl.h>
#include <zlib.h>

using namespace testing_support;
using namespace vantorix;

namespace {

// "game|crc|size|header" for each ROM read, or "error at LINE".
QStringList readOut(const QByteArray &text)
{
    try {
        const DatContents dat = readDat(text);
        QStringList roms;
        for (const DatSkippedGame &skipped : dat.skipped)
            roms.append(QStringLiteral("skipped at %1: %2").arg(skipped.line).arg(skipped.reason));
        for (const DatRom &rom : dat.roms)
            roms.append(QStringLiteral("%1|%2|%3|%4")
                            .arg(rom.game)
                            .arg(rom.crc32, 8, 16, QLatin1Char('0'))
                            .arg(rom.size)
                            .arg(rom.header < 0 ? QStringLiteral("-") : dat.headers[size_t(rom.header)].name));
        return roms;
    } catch (const DatError &error) {
        return {QStringLiteral("error at %1").arg(error.line())};
    }
}

TEST(GameDatabases, GrammarOfBothForms)
{
    const struct {
        const char *what;
        QByteArray text;
        QStringList roms;
    } cases[] = {
        {"two headers, each with its games",
         "clrmamepro ( name \"One\" version 1 )\ngame ( name \"A\" rom ( name a.gb size 32768 crc 0000000a ) )\n"
         "clrmamepro ( name \"Two\" )\ngame ( name \"B\" rom ( name b.gb size 65536 crc 0000000b ) )\n",
         {"A|0000000a|32768|One", "B|0000000b|65536|Two"}},
        {"quoted names with ' & , and parentheses",
         "game ( name \"Tom & Jerry's, The (USA) (Rev 1)\" rom ( name \"x (1).gb\" size 1 crc ff ) )",
         {"Tom & Jerry's, The (USA) (Rev 1)|000000ff|1|-"}},
        {"bare values, either case of hex",
         "clrmamepro ( name Bare )\ngame ( name Tetris rom ( name t.gb size 32768 crc ABCDEF01 ) )\n"
         "game ( name Other rom ( size 16 crc abcdef02 ) )",
         {"Tetris|abcdef01|32768|Bare", "Other|abcdef02|16|Bare"}},
        {"unknown fields and blocks skipped",
         "emulator ( name \"datafile\" )\nclrmamepro ( name \"H\" author \"a, b\" forcenodump required )\n"
         "game ( name \"G\" serial \"DMG-X\" release ( region EUR date ( year 1990 ) )\n"
         "  rom ( name g.gb size 2 crc 12 md5 00 sha1 11 flags verified ) )",
         {"G|00000012|2|H"}},
        {"missing fields: a ROM without a CRC, a game without a name",
         "game ( name \"NoCrc\" rom ( name a.gb size 2 ) rom ( name b.gb size 3 crc 3 ) )\n"
         "game ( description \"no name\" rom ( name c.gb size 4 crc 4 ) )",
         {"NoCrc|00000003|3|-"}},
        {"an editor's byte-order mark", "\xEF\xBB\xBFgame ( name Z rom ( size 5 crc 5 ) )", {"Z|00000005|5|-"}},
        {"a quote not closed", "clrmamepro ( name \"H\" )\ngame (\n name \"open\n)", {"error at 3"}},
        {"a block not closed", "game ( name A\n rom ( size 1 crc 1 )\n", {"error at 3"}},
        {"a CRC that is not hex: that game alone left out", "game ( name A\n\n rom ( size 1 crc 12G4 ) )",
         {"skipped at 3: a CRC is not hexadecimal"}},
        {"a size that is not a number", "game ( name A rom ( size -1 crc 1 ) )",
         {"skipped at 1: a size is not a number"}},
        {"a CRC of nine digits among good games",
         "clrmamepro ( name H )\ngame ( name Bad rom ( size 1 crc 2ADC33EAA ) rom ( size 2 crc 2 ) )\n"
         "game ( name Good rom ( size 3 crc 3 ) )",
         {"skipped at 2: CRC of 9 digits", "Good|00000003|3|H"}},
        {"not a DAT at all", "Hello, this is a letter.\n", {"error at 1"}},
        {"nothing in it", "  \n", {"error at 1"}},
        {"Logiqx XML",
         "<?xml version=\"1.0\"?>\n<!DOCTYPE datafile PUBLIC \"-//Logiqx//DTD ROM Management Datafile//EN\" "
         "\"http://www.logiqx.com/Dats/datafile.dtd\">\n<datafile><header><name>X</name><version>7</version>"
         "<description>d</description></header>\n<game name=\"Kid &amp; Co (Europe)\" cloneof=\"Kid\">"
         "<description>k</description><release name=\"k\" region=\"EUR\"/>"
         "<rom name=\"k.gb\" size=\"131072\" crc=\"DEADbeef\" md5=\"0\" status=\"verified\"/></game>\n"
         "<game name=\"NoSize\"><rom name=\"n.gb\" crc=\"1\"/></game>\n"
         "<game name=\"Bad\"><rom name=\"b.gb\" size=\"1\" crc=\"123456789\"/></game></datafile>",
         {"skipped at 6: CRC of 9 digits", "Kid & Co (Europe)|deadbeef|131072|X"}},
        {"Logiqx XML cut short", "<datafile><header><name>X</name></header>\n<game name=\"A\">\n<rom", {"error at 3"}},
        {"XML of another kind", "<html><body/></html>", {"error at 1"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(readOut(c.text), c.roms) << c.what;
}

// The key leaves out what stands before the image, so a copier dump and a
// CTT dump of a game are known as the game.
TEST(GameDatabases, KeysAreThoseOfTheImage)
{
    QTemporaryDir dir;
    const QByteArray image = romImage("KEYED");
    const RomKey expected{quint32(::crc32(0, reinterpret_cast<const Bytef *>(image.constData()), uInt(image.size()))),
                          image.size()};
    QByteArray copier(512, '\0');
    copier[0] = char((image.size() / 8192) & 0xFF);
    for (const QByteArray &file : {image, copier + image}) {
        const QString path = writeFile(dir.filePath("game.gb"), file);
        EXPECT_EQ(readCartridgeDetails(path).key, expected) << file.size();
    }
}

// Debian's mGBA list, read whole: three systems under their own headers.
TEST(GameDatabases, DebianNoIntroList)
{
    const QString path = QStringLiteral("/usr/share/mgba/nointro.dat");
    if (!QFile::exists(path))
        GTEST_SKIP() << "mgba-common is not installed";
    const LoadedGameDatabases loaded = loadGameDatabases({path});
    EXPECT_TRUE(loaded.problems.isEmpty()) << loaded.problems.join('\n').toStdString();
    EXPECT_GT(loaded.database.gameCount(), 7000);
    // A Game Boy game of the list, found by what the list says of it.
    const QString text = QString::fromUtf8(readFile(path));
    const QRegularExpression game(
        QStringLiteral("clrmamepro \\(\\s*name \"Nintendo - Game Boy\"[\\s\\S]*?game \\(\\s*name \"([^\"]+)\"[\\s\\S]*?"
                       "size (\\d+) crc ([0-9a-fA-F]+)"));
    const QRegularExpressionMatch m = game.match(text);
    ASSERT_TRUE(m.hasMatch());
    const KnownGame *known = loaded.database.find(RomKey{m.captured(3).toUInt(nullptr, 16), m.captured(2).toLongLong()});
    ASSERT_NE(known, nullptr);
    EXPECT_EQ(known->name, m.captured(1));
    EXPECT_TRUE(loaded.database.databaseText(known->database).startsWith("Nintendo - Game Boy ("));

    // Copied over again and again while it is read, as cp does (cut to
    // nothing, then written): each reading gives the list or a damaged one
    // named, never a crash.
    QTemporaryDir dir;
    const QString live = dir.filePath("live.dat");
    const QByteArray bytes = readFile(path);
    writeFile(live, bytes);
    std::atomic<bool> done{false};
    std::thread copier([&] {
        while (!done) {
            QFile file(live);
            if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                file.write(bytes.left(bytes.size() / 3)), file.write(bytes.mid(bytes.size() / 3));
        }
    });
    for (int i = 0; i < 20; ++i) {
        const LoadedGameDatabases read = loadGameDatabases({live});
        EXPECT_TRUE(read.database.gameCount() > 0 || read.problems.size() == 1);
    }
    done = true;
    copier.join();
}

class NamesCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        samples = QStringLiteral(SAMPLES_DIR);
        env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CACHE_HOME", dir.filePath("cache"));
        env.insert("XDG_DATA_HOME", dir.filePath("data"));
        env.insert("XDG_DATA_DIRS", dir.filePath("none"));
    }

    // stdout, stderr and the exit status of kelpad with arguments.
    QStringList run(const QStringList &arguments)
    {
        QProcess kelpad;
        kelpad.setProcessEnvironment(env);
        kelpad.start(KELPAD_PATH, arguments);
        EXPECT_TRUE(kelpad.waitForFinished(30000));
        return {QString::fromUtf8(kelpad.readAllStandardOutput()), QString::fromUtf8(kelpad.readAllStandardError()),
                QString::number(kelpad.exitCode())};
    }

    QTemporaryDir dir;
    QString samples;
    QProcessEnvironment env;
};

TEST_F(NamesCommand, InfoAndScanNameTheSamplesFromEitherForm)
{
    const QString dat = samples + "/vantorix-samples.dat";
    const QString xml = samples + "/vantorix-samples.xml";
    const QString star = samples + "/roms/STARHOP.GB";
    // Without a database no name is said; with one, the game's, or that it
    // is unknown; the first database that knows a game names it.
    EXPECT_FALSE(run({"--info", star})[0].contains("Name:"));
    // Relative XDG folders name no place: nothing is read or made below the
    // current folder.
    {
        QProcessEnvironment relative = env;
        relative.insert("XDG_DATA_HOME", "rel");
        relative.insert("XDG_CACHE_HOME", "relcache");
        relative.insert("HOME", dir.filePath("home"));
        writeFile(dir.filePath("rel/vantorix/dat/x.dat"), readFile(samples + "/vantorix-samples.dat"));
        QProcess kelpad;
        kelpad.setProcessEnvironment(relative);
        kelpad.setWorkingDirectory(dir.path());
        kelpad.start(KELPAD_PATH, {"--scan", samples + "/roms", "--names"});
        ASSERT_TRUE(kelpad.waitForFinished(30000));
        EXPECT_FALSE(QString::fromUtf8(kelpad.readAllStandardOutput()).contains("Star Hopper (World)"));
        EXPECT_FALSE(QFileInfo::exists(dir.filePath("relcache")));
        EXPECT_TRUE(QFileInfo::exists(dir.filePath("home/.cache/vantorix/hashes.sqlite")));
    }
    EXPECT_TRUE(run({"--dat", dat, "--info", star})[0].endsWith(
        "Name: Star Hopper (World) (Rev 1)\nDatabase: Vantorix - Samples (2026)\n"));
    EXPECT_TRUE(run({"--dat", xml, "--dat", dat, "--info", star})[0].endsWith("Database: Vantorix - Samples (XML) (2026)\n"));
    const QString other = writeFile(dir.filePath("other.gb"), romImage("OTHER"));
    EXPECT_TRUE(run({"--dat", dat, "--info", other})[0].endsWith("CRC32: " + run({"--info", other})[0].section("CRC32: ", 1)
                                                                      .trimmed() + "\nName: not in the game databases\n"));
    // The zip's key comes from its directory, the colour game's from the
    // second header.
    const QStringList scan = run({"--dat", xml, "--scan", samples + "/roms", "--subfolders", "--names", "--mask", "*.gb;*.zip"});
    EXPECT_EQ(scan[2], "0") << scan[1].toStdString();
    const QStringList lines = scan[0].split('\n', Qt::SkipEmptyParts);
    EXPECT_TRUE(lines.contains("Color Garden (World) (GB Compatible)    (COLOR/GARDEN.GB)")) << scan[0].toStdString();
    EXPECT_TRUE(lines.contains("Mole Maze & Friends (Europe) (En,Fr,De) (MOLEMAZE.GB)"));  // 40 columns, then a blank
    EXPECT_TRUE(lines.contains("River Race (World)                      (RIVERACE.ZIP)"));
    // A damaged database is named with its line and skipped.
    const QString broken = writeFile(dir.filePath("broken.dat"), "game ( name \"x\"\n rom ( size 1 crc zz ) )");
    const QStringList withBroken = run({"--dat", broken, "--dat", dat, "--info", star});
    EXPECT_EQ(withBroken[1], "kelpad: games left out of a game database: " + broken + ":2: a CRC is not hexadecimal (1 game)\n");
    const QString letter = writeFile(dir.filePath("letter.dat"), "Dear user,\n");
    EXPECT_EQ(run({"--dat", letter, "--info", star})[1], "kelpad: game database skipped: " + letter + ":1: not a game database\n");
    EXPECT_TRUE(withBroken[0].contains("Name: Star Hopper (World) (Rev 1)"));
}

// The second look at an unchanged file reads nothing of it; a changed one
// is read again; a damaged cache is set aside; two scans at once share it.
TEST_F(NamesCommand, HashCacheChangedDamagedAndShared)
{
    const QString dat = samples + "/vantorix-samples.dat";
    const QString games = dir.filePath("games");
    QDir().mkpath(games);
    const QString mole = games + "/mole.gb";
    QFile::copy(samples + "/roms/MOLEMAZE.GB", mole);
    QFile::copy(samples + "/roms/BLOCKTWR.GB", games + "/block.gb");
    const auto names = [&] { return run({"--dat", dat, "--scan", games, "--names"})[0]; };
    ASSERT_TRUE(names().contains("Mole Maze & Friends"));
    const QString cacheFile = dir.filePath("cache/vantorix/hashes.sqlite");
    ASSERT_TRUE(QFile::exists(cacheFile));

    // Another game's bytes of the same size put back with the old time, as
    // cp -p or tar do: the change time tells, and it is read again.
    struct stat before;
    ASSERT_EQ(::stat(QFile::encodeName(mole).constData(), &before), 0);
    writeFile(mole, readFile(samples + "/roms/STARHOP.GB"));
    const struct timespec old[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(mole).constData(), old, 0), 0);
    EXPECT_TRUE(names().contains("Star Hopper (World) (Rev 1)"));
    // Changed five times: the folder keeps one record a file.
    for (int i = 0; i < 5; ++i) {
        writeFile(mole, readFile(samples + (i % 2 ? "/roms/STARHOP.GB" : "/roms/MOLEMAZE.GB")));
        names();
    }
    EXPECT_EQ(HashCache(cacheFile).keysOf(FileStamp::of(games)).size(), 2);

    // Another program holds the cache: the scan waits a moment, goes
    // without it, says so once and names every game all the same.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "holder");
        db.setDatabaseName(cacheFile);
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec("BEGIN EXCLUSIVE");
        const QStringList held = run({"--dat", dat, "--scan", games, "--names"});
        EXPECT_TRUE(held[0].contains("Block Tower (Japan) (Proto)"));
        EXPECT_EQ(held[1].count("hash cache is held by another program"), 1) << held[1].toStdString();
        QSqlQuery(db).exec("ROLLBACK");
        db.close();
    }
    QSqlDatabase::removeDatabase("holder");

    // What is no sound cache of ours is set aside, and begun anew: a file
    // that is no database, one damaged past its first page, a link (what
    // it points to stays as it was).
    const QString usersFile = writeFile(dir.filePath("notes.txt"), "");
    const auto damagedInside = [&] {
        QByteArray bytes = readFile(cacheFile);
        for (qsizetype i = 4096; i < bytes.size(); ++i)
            bytes[i] = char(0x5a);
        writeFile(cacheFile, bytes);
    };
    const auto linkCache = [&](const QString &to) {
        QFile::remove(cacheFile);
        ASSERT_EQ(::symlink(QFile::encodeName(to).constData(), QFile::encodeName(cacheFile).constData()), 0);
    };
    const std::function<void()> damages[] = {
        [&] { writeFile(cacheFile, "not a database at all, just words"); },
        damagedInside,
        [&] { linkCache(usersFile); },
        [&] { linkCache("/nonexistent/x.sqlite"); },
    };
    for (const auto &damage : damages) {
        { HashCache settle(cacheFile); }  // the WAL folded into the file
        QFile::remove(cacheFile);
        QFile::remove(cacheFile + "-wal");
        QFile::remove(cacheFile + "-shm");
        names();
        damage();
        EXPECT_TRUE(names().contains("Block Tower (Japan) (Proto)"));
        EXPECT_TRUE(QFileInfo::exists(cacheFile + ".damaged") || QFileInfo(cacheFile + ".damaged").isSymLink());
        EXPECT_FALSE(QFileInfo(cacheFile).isSymLink());
        HashCache cache(cacheFile);
        EXPECT_TRUE(cache.isOpen());
        EXPECT_EQ(cache.keysOf(FileStamp::of(games)).size(), 2);
    }
    EXPECT_EQ(readFile(usersFile), QByteArray());
    EXPECT_FALSE(QFileInfo::exists("/nonexistent/x.sqlite"));

    // Two scans at once, of two folders, each keeps its keys; enough files
    // that the pool of readers keys them.
    const QString second = dir.filePath("second");
    QDir().mkpath(second);
    for (int i = 0; i < 200; ++i)
        QFile::copy(samples + "/roms/TENNIS.GB", second + QStringLiteral("/t%1.gb").arg(i));
    QProcess a, b;
    for (QProcess *p : {&a, &b})
        p->setProcessEnvironment(env);
    a.start(KELPAD_PATH, {"--dat", dat, "--scan", second, "--names"});
    b.start(KELPAD_PATH, {"--dat", dat, "--scan", games, "--names"});
    ASSERT_TRUE(a.waitForFinished(30000) && b.waitForFinished(30000));
    EXPECT_EQ(a.exitCode(), 0);
    EXPECT_EQ(b.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(a.readAllStandardOutput()).count("Tiny Tennis, The (USA)"), 200);
    HashCache cache(cacheFile);
    EXPECT_EQ(cache.keysOf(FileStamp::of(second)).size(), 200);
    EXPECT_EQ(cache.keysOf(FileStamp::of(games)).size(), 2);
}

}  // namespace

namespace {

// The title a known game's entry gets: the name whole, nothing that could
// break a line or reorder text, and the "(" apart from a long name.
TEST(GameDatabases, EveryEntryWrittenReadsBackToItsFile)
{
    const QString zelda = "Legend of Zelda, The - Link's Awakening (USA, Europe) (Rev 2)";
    const struct {
        QString name;
        QString title;
    } cases[] = {
        {"Tetris (World) (Rev 1)", "Tetris (World) (Rev 1)"},
        {QString("Line\nbreak\tand\u202Eoverride"), "Linebreakandoverride"},
        {QString(39, 'x'), QString(39, 'x')},
        {QString(40, 'x'), QString(40, 'x')},
        {QString(41, 'x'), QString(41, 'x')},
        {zelda, zelda},  // "(" in column 41
        {QString(40, 'x') + ")(", QString(40, 'x') + ")("},
        {"Unbalanced (USA, Europe (Rev 2) - and a long tail", "Unbalanced (USA, Europe (Rev 2) - and a long tail"},
        {QString::fromUtf8("No\u00A0break (a) (b) (c) (d) (e) (f) (g) (h)"), QString::fromUtf8("No\u00A0break (a) (b) (c) (d) (e) (f) (g) (h)")},
        {QString::fromUtf8("Pokémon - Versione Rossa (Italia)"), QString::fromUtf8("Pokémon - Versione Rossa (Italia)")},
    };
    // Parentheses in the file part too, unbalanced ones, a folder that
    // begins with a blank, the separator itself.
    const QString files[] = {"GAME.GB", "SPORTS/TENNIS (EU).GB", "/home/me/Other (2)/A B.GB", "A(.GB",
                             "B) (C.GB", " LEAD/L.GB", QString::fromUtf8("X\u00A0(Y).GB"), "VERYLONGNAME.GBC"};
    for (const auto &c : cases) {
        EXPECT_EQ(entryTitleOfGame(c.name), c.title);
        for (const QString &file : files) {
            const QString entry = composeEntry(entryTitleOfGame(c.name), file);
            const QString expected = file.startsWith(' ') ? "./" + file : file;
            EXPECT_EQ(romFileName(entry), expected) << entry.toStdString();
            EXPECT_TRUE(entryMatches(entry, c.title.left(20))) << entry.toStdString();
        }
    }
    // Entries written by earlier versions read as they always did.
    EXPECT_EQ(romFileName(QString(45, 'x') + " (   GAME (EU).GB)"), "GAME (EU).GB");
    EXPECT_EQ(romFileName(QString("TETRIS").leftJustified(40) + "(  TETRIS.GB)"), "TETRIS.GB");
}

// One game kept every way a collection keeps it is one key, and one name.
TEST_F(NamesCommand, EveryFormOfAGameHasItsName)
{
    const QByteArray image = readFile(samples + "/roms/TENNIS.GB");
    QByteArray copier(512, '\0');
    copier[0] = char(image.size() / 8192);
    const QString games = dir.filePath("forms");
    const struct {
        const char *file;
        QByteArray bytes;
    } forms[] = {
        {"plain.gb", image},
        {"copier.gb", copier + image},
        {"deflated.zip", makeArchive(ArchiveFormat::ZipDeflated, {{"readme.txt", "hi"}, {"t.gb", image}})},
        {"stored.zip", makeArchive(ArchiveFormat::ZipStored, {{"t.gb", image}})},
        {"copier.zip", makeArchive(ArchiveFormat::ZipDeflated, {{"t.gb", copier + image}})},
        {"solid.7z", makeArchive(ArchiveFormat::SevenZip, {{"a.txt", "x"}, {"t.gb", image}})},
    };
    for (const auto &f : forms)
        writeFile(games + "/" + f.file, f.bytes);
    writeFile(games + "/other.gb", romImage("UNKNOWN"));
    for (int pass = 0; pass < 2; ++pass) {  // the second from the cache
        const QStringList scan = run({"--dat", samples + "/vantorix-samples.dat", "--scan", games, "--names",
                                      "--mask", "*.gb;*.zip;*.7z"});
        EXPECT_EQ(scan[2], "0") << scan[1].toStdString();
        EXPECT_EQ(scan[0].count("Tiny Tennis, The (USA)"), 6) << pass << scan[0].toStdString();
        EXPECT_TRUE(scan[0].contains("UNKNOWN                                 (   OTHER.GB)")) << scan[0].toStdString();
    }
}

// The cache keeps its bounds, each program's keys, and nobody else's file.
TEST(HashCacheFile, BoundsMergesAndForeignFiles)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("cache/hashes.sqlite");
    const auto keys = [](int first, int count) {
        HashCache::Keys k;
        for (int i = first; i < first + count; ++i)
            k.insert(FileStamp{7, quint64(i), 32768, i}, RomKey{quint32(i), 32768});
        return k;
    };
    const FileStamp folder{7, 1, -1, 0};
    {
        HashCache first(path);
        HashCache second(path);  // another program at the same time
        first.remember(folder, keys(0, 10));
        second.remember(folder, keys(10, 5));
        EXPECT_EQ(first.keysOf(folder).size(), 15);
        EXPECT_EQ(first.keysOf(folder).value(FileStamp{7, 12, 32768, 12}), (RomKey{12, 32768}));
        // A file that changed is another stamp: not found.
        EXPECT_FALSE(first.keysOf(folder).contains(FileStamp{7, 12, 32768, 13}));
        // Keys passes keep missing are taken for files gone.
        for (int pass = 1; pass < HashCache::kMissesBeforeForgotten; ++pass) {
            EXPECT_EQ(first.keysOf(folder).size(), 15);
            second.remember(folder, keys(10, 5));
        }
        EXPECT_EQ(first.keysOf(folder).size(), 5);
        // At most so many folders: the ones used longest ago go, and a pass
        // over a folder uses it.
        for (int f = 0; f < HashCache::kMaxFolders; ++f)
            first.remember(FileStamp{8, quint64(f), -1, 0}, keys(0, 1));
        EXPECT_TRUE(first.keysOf(folder).isEmpty());
        first.remember(FileStamp{8, 0, -1, 0}, keys(0, 1));
        first.remember(FileStamp{9, 0, -1, 0}, keys(0, 1));
        EXPECT_EQ(first.keysOf(FileStamp{8, 0, -1, 0}).size(), 1);
        EXPECT_TRUE(first.keysOf(FileStamp{8, 1, -1, 0}).isEmpty());
        // At most so many keys in one folder.
        first.remember(folder, keys(0, HashCache::kMaxKeysPerFolder + 10));
        EXPECT_EQ(first.keysOf(folder).size(), HashCache::kMaxKeysPerFolder);
    }
    // Another program's SQLite file in its place is set aside, whole, and a
    // cache begun anew.
    const QString foreign = dir.filePath("foreign.sqlite");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "foreign");
        db.setDatabaseName(foreign);
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec("CREATE TABLE notes (text TEXT)");
        db.close();
    }
    QSqlDatabase::removeDatabase("foreign");
    const QByteArray theirs = readFile(foreign);
    {
        HashCache cache(foreign);
        EXPECT_TRUE(cache.isOpen());
        EXPECT_TRUE(cache.keysOf(folder).isEmpty());
        cache.remember(folder, keys(0, 3));
        EXPECT_EQ(cache.keysOf(folder).size(), 3);
    }
    EXPECT_EQ(readFile(foreign + ".damaged"), theirs);

    // A disk too full to take more keys keeps the cache as it is.
    const SmallTmpfs small(dir.filePath("small"));
    if (!small.mounted)
        GTEST_SKIP() << "cannot mount a small tmpfs here (not root?)";
    const QString full = small.path + "/hashes.sqlite";
    {
        HashCache cache(full);
        cache.remember(folder, keys(0, 3));
    }
    small.fill();
    {
        HashCache cache(full);
        cache.remember(folder, keys(0, 5000));
        EXPECT_EQ(cache.keysOf(folder).size(), 3);
    }
    EXPECT_FALSE(QFileInfo::exists(full + ".damaged"));
    QFile::remove(small.path + "/filler");
    EXPECT_EQ(HashCache(full).keysOf(folder).size(), 3);
}

}  // namespace

namespace {

// The user's folder of databases: a drop of a file that names no game is
// refused, the folder is still watched once deleted and made again, and
// a reading begun early never puts back the databases of before.
TEST(GameDatabases, DroppedAndWatchedInTheUsersFolder)
{
    QTemporaryDir dir;
    const QString folder = userDatFolder();
    QDir(folder).removeRecursively();
    Catalogue catalogue(QStringList(), dir.filePath("cache.sqlite"));
    catalogue.watchUserDatabases();
    const auto game = [](const QString &name, int crc) {
        return QStringLiteral("game ( name \"%1\" rom ( name \"x.gb\" size 32768 crc %2 ) )\n").arg(name).arg(crc, 8, 16, QChar('0')).toUtf8();
    };
    const auto games = [&] { return catalogue.databases()->database.gameCount(); };
    const int before = games();

    // No game can be read: refused, nothing copied.
    const QString broken = writeFile(dir.filePath("broken.dat"), "game ( name \"A\" rom ( size x crc zz ) )\n");
    QString name;
    EXPECT_THROW(catalogue.addUserDatabase(broken, &name), DatError);
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files).isEmpty());

    // A reading begun before a drop ends after it: the drop stays.
    catalogue.reloadDatabasesInBackground();
    EXPECT_EQ(catalogue.addUserDatabase(writeFile(dir.filePath("one.dat"), game("One", 1)), &name), 1);
    catalogue.waitForTasks();
    QCoreApplication::processEvents();
    EXPECT_EQ(games(), before + 1);

    // Deleted and made again: what is copied in afterwards is read.
    ASSERT_TRUE(QDir(folder).removeRecursively());
    EXPECT_TRUE(waitFor([&] { return games() == before; }));
    QDir().mkpath(folder);
    writeFile(folder + "/two.dat", game("Two", 2));
    EXPECT_TRUE(waitFor([&] { return games() == before + 1; }));
}

}  // namespace
