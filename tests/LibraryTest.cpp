// The library's core: what --library-list prints of each kind of file, each
// file once however it is reached, plays counted from every kind of start,
// the store kept whole, and the watch when the system's watches run out.
#include "settings/Configuration.h"
#include "settings/LastConfiguration.h"
#include "library/LibraryStore.h"
#include "library/LibraryWatch.h"
#include "platform/FilePath.h"
#include "samples/ArchiveMaker.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace testing_support;
using namespace vantorix;

namespace {

QString runKelpad(const QStringList &arguments, int *status = nullptr)
{
    QProcess kelpad;
    kelpad.start(KELPAD_PATH, arguments);
    EXPECT_TRUE(kelpad.waitForFinished(60000));
    if (status)
        *status = kelpad.exitCode();
    return QString::fromUtf8(kelpad.readAllStandardOutput());
}

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
    EXPECT_EQ(lines.at(0), "name\tsystem\tregion\tsize\tcrc32\tverified\tplayed\tlast played\tpath");
    const auto row = [&](const QString &path) {
        for (const QString &line : lines)
            if (line.endsWith("\t" + path))
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
        paths.append(line.section('\t', 8));
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
    // The window's plays go through the same record.
    LibraryStore::recordPlay(rom, QDateTime(QDate(2026, 12, 1), QTime(20, 15)).toUTC());
    const QStringList fields = runKelpad({"--library-list"}).split('\n', Qt::SkipEmptyParts).value(1).split('\t');
    ASSERT_EQ(fields.size(), 9);
    EXPECT_EQ(fields.at(6), "2");
    EXPECT_EQ(fields.at(7), "2026-12-01 20:15");

    // Names of any bytes, tabs and line breaks included, come back; a file
    // that is no store is not taken; a link at the store is replaced.
    LibraryStore store;
    store.folders = {decodePath("/caf\xe9/x"), "/with\ttab", "/line\nbreak", "/100%"};
    store.plays.insert("/a\tb.gb", PlayRecord{3, QDateTime::fromSecsSinceEpoch(1'700'000'000, Qt::UTC)});
    store.favourites.insert("/fav\n.gb");
    const LibraryStore back = LibraryStore::parse(store.serialize());
    EXPECT_EQ(back.folders, store.folders);
    EXPECT_EQ(back.plays.value("/a\tb.gb").count, 3);
    EXPECT_EQ(back.plays.value("/a\tb.gb").last, store.plays.value("/a\tb.gb").last);
    EXPECT_EQ(back.favourites, store.favourites);
    EXPECT_TRUE(LibraryStore::parse("folder\t/x\n").folders.isEmpty());
    const QString notes = writeFile(root + "/notes.txt", "mine");
    const QString linked = root + "/library.txt";
    ASSERT_EQ(::symlink(QFile::encodeName(notes).constData(), QFile::encodeName(linked).constData()), 0);
    EXPECT_TRUE(LibraryStore::toggleFavourite(rom, linked));
    EXPECT_EQ(readFile(notes), "mine");
    EXPECT_TRUE(LibraryStore::read(linked).favourites.contains(rom));
    runKelpad({"--library-remove", root + "/games"});
}

TEST(Library, WatchesThatRunOutBecomeALightPass)
{
    QTemporaryDir dir;
    for (const char *folder : {"a/one", "a/two", "a/three"})
        QDir().mkpath(dir.filePath(folder));
    LibraryWatch watch(nullptr, 2);
    QSignalSpy limit(&watch, &LibraryWatch::limitReached);
    QSignalSpy changed(&watch, &LibraryWatch::foldersChanged);
    watch.watch({dir.filePath("a")});
    EXPECT_EQ(limit.count(), 1);
    EXPECT_TRUE(watch.polling());
    // A file in a folder no watch reaches is seen by the light pass.
    writeFile(dir.filePath("a/three/new.gb"), "x");
    EXPECT_TRUE(waitFor([&] { return changed.count() > 0; }, 3 * LibraryWatch::kPollMs));
    EXPECT_EQ(changed.constFirst().constFirst().toStringList(), QStringList{dir.filePath("a")});
    // Said once only.
    watch.watch({dir.filePath("a")});
    EXPECT_EQ(limit.count(), 1);
    // Within the limit the watches do it all.
    LibraryWatch roomy;
    roomy.watch({dir.filePath("a")});
    EXPECT_FALSE(roomy.polling());
}

}  // namespace
