// A collector's library: the audit against the databases, copies and one
// per game, the history that follows a game's content, and its saves.
#include "library/GameSaves.h"
#include "library/GameVariants.h"
#include "library/LibraryFilter.h"
#include "library/LibraryModel.h"
#include "library/LibraryAudit.h"
#include "library/LibraryStore.h"
#include "names/DatReader.h"
#include "names/GameDatabase.h"
#include "platform/FilePath.h"
#include "platform/IoError.h"
#include "platform/ProgramStart.h"
#include "reading/Catalogue.h"
#include "samples/ArchiveMaker.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include <zlib.h>

using namespace testing_support;
using namespace vantorix;

namespace {

quint32 crcOf(const QByteArray &bytes)
{
    return quint32(::crc32(0, reinterpret_cast<const Bytef *>(bytes.constData()), uInt(bytes.size())));
}

QByteArray datRom(const char *game, const QByteArray &image)
{
    return QByteArray("game (\n\tname \"") + game + "\"\n\trom ( name \"" + game + ".gb\" size "
           + QByteArray::number(image.size()) + " crc " + QByteArray::number(crcOf(image), 16).rightJustified(8, '0')
           + " )\n)\n";
}

QByteArray datOf(const char *name, const QByteArray &games)
{
    return QByteArray("clrmamepro (\n\tname \"") + name + "\"\n\tversion 1\n)\n" + games;
}

TEST(Collection, AuditCountsWhatTheLibraryHasAndMisses)
{
    const QByteArray a = romImage("ALPHA"), b = romImage("BRAVO"), c = romImage("CHARLIE"), d = romImage("DELTA");
    const QByteArray e = romImage("ECHO"), two = romImage("DISC TWO");
    GameDatabase database;
    database.add(readDat(datOf("Set", datRom("Alpha (World)", a) + datRom("Bravo (USA)", b) + datRom("Charlie (Japan)", c)
                                          + datRom("Delta (Europe)", d)
                                          + "game (\n\tname \"Pair (World)\"\n\trom ( name \"1.gb\" size 32768 crc "
                                          + QByteArray::number(crcOf(a), 16).rightJustified(8, '0')
                                          + " )\n\trom ( name \"2.gb\" size 32768 crc "
                                          + QByteArray::number(crcOf(two), 16).rightJustified(8, '0') + " )\n)\n")),
                 "Set");
    database.add(readDat(datOf("Other", datRom("Echo (World)", e))), "Other");
    database.add(readDat(datOf("Twice", datRom("Bravo again (USA)", b) + datRom("Delta again (USA)", d))), "Twice");
    const auto keyOf = [](const QByteArray &image) { return RomKey{crcOf(image), image.size()}; };
    const struct {
        const char *what;
        std::vector<RomKey> held;
        QString only;
        QStringList audits;   // database: have of total
        QStringList missing;
    } cases[] = {
        {"nothing held: no database audited", {}, {}, {}, {}},
        {"two of a set, one of a game of two ROMs",
         {keyOf(a), keyOf(b), RomKey()},
         {},
         {"Set (1): have 2 of 5", "Twice (1): have 1 of 2"},
         {"Charlie (Japan)", "Delta (Europe)", "Delta again (USA)", "Pair (World)"}},
        {"a game of two ROMs held whole; one database asked",
         {keyOf(a), keyOf(two), keyOf(e)},
         "Set (1)",
         {"Set (1): have 2 of 5"},
         {"Bravo (USA)", "Charlie (Japan)", "Delta (Europe)"}},
        {"a database's name that is none", {keyOf(a)}, "None", {}, {}},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(test.what);
        const LibraryAudit audit = auditLibrary(test.held, database, test.only);
        QStringList audits, missing;
        for (const DatabaseAudit &counts : audit.databases)
            audits.append(QStringLiteral("%1: have %2 of %3").arg(counts.database).arg(counts.have).arg(counts.total));
        for (const MissingGame &game : audit.missing)
            missing.append(game.name);
        EXPECT_EQ(audits, test.audits);
        EXPECT_EQ(missing, test.missing);
    }

    // The command: a zip counts by the ROM it holds; the TSV sorted by name.
    QTemporaryDir dir;
    const QString root = QDir(dir.path()).canonicalPath();
    writeFile(root + "/games/a.gb", a);
    writeFile(root + "/games/b.zip", makeArchive(ArchiveFormat::ZipDeflated, {{"inside.gb", b}}));
    const QString dat = writeFile(root + "/set.dat", datOf("Set", datRom("Delta (Europe)", d) + datRom("Alpha (World)", a)
                                                                    + datRom("Bravo (USA)", b) + datRom("Charlie (Japan)", c)));
    int status = -1;
    runKelpad({"--library-add", root + "/games"}, &status);
    QString errors;
    const QString tsv = runKelpad({"--dat", dat, "--library-missing"}, &status, &errors);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(tsv, QStringLiteral("name\tregion\tsize\tcrc32\tdatabase\n"
                                  "Charlie (Japan)\tJapan\t32768\t%1\tSet (1)\n"
                                  "Delta (Europe)\tEurope\t32768\t%2\tSet (1)\n")
                       .arg(QString::number(crcOf(c), 16).rightJustified(8, '0'),
                            QString::number(crcOf(d), 16).rightJustified(8, '0')));
    EXPECT_TRUE(errors.contains("Set (1): have 2 of 4")) << errors.toStdString();
    runKelpad({"--dat", dat, "--library-missing", "Nothing of the kind"}, &status);
    EXPECT_EQ(status, 1);
    runKelpad({"--library-remove", root + "/games"}, &status);
}

TEST(Collection, CopiesAndOnePerGame)
{
    const auto game = [](const char *path, const char *name, bool verified, quint32 crc) {
        LibraryGame g;
        g.path = path;
        g.name = name;
        g.verified = verified;
        g.hasCrc = true;
        g.crc32 = crc;
        g.size = 32768;
        return g;
    };
    const std::vector<LibraryGame> games = {
        game("/r/Tetris (Japan).gb", "Tetris (Japan)", true, 1),
        game("/r/Tetris (World).gb", "Tetris (World)", true, 2),
        game("/r/Tetris (World) (Rev 1).zip", "Tetris (World) (Rev 1)", true, 3),
        game("/r/Tetris (World) (Rev 1).gb", "Tetris (World) (Rev 1)", true, 3),
        game("/r/Tetris (Europe).gb", "Tetris (Europe)", true, 4),
        game("/r/Quest (USA, Europe).gb", "Quest (USA, Europe)", true, 5),
        game("/r/Quest (Japan) (Rev A).gb", "Quest (Japan) (Rev A)", true, 6),
        game("/r/quest hack.gb", "Quest (USA, Europe) [h]", false, 7),
        game("/s/Quest (USA, Europe).zip", "Quest (USA, Europe)", true, 5),
        game("/r/LONELY.gb", "LONELY", false, 8),
    };
    std::vector<const LibraryGame *> pointers;
    std::vector<GameVariant> variants;
    for (const LibraryGame &g : games) {
        pointers.push_back(&g);
        variants.push_back({g.name, g.path, g.verified});
    }
    const CopyCounts copies = countCopies(pointers, [](const LibraryGame *g) { return g->content(); });
    EXPECT_EQ(copies.value({3, 32768}), 2);  // a file and its zip
    EXPECT_EQ(copies.value({5, 32768}), 2);  // the same game in two folders
    EXPECT_EQ(copies.value({1, 32768}), 1);

    const struct {
        const char *language;
        QStringList order;
        QStringList chosen;
    } cases[] = {
        {"en", {}, {"/r/Tetris (World) (Rev 1).gb", "/r/Quest (USA, Europe).gb", "/r/LONELY.gb"}},
        {"it", {}, {"/r/Tetris (Europe).gb", "/r/Quest (USA, Europe).gb", "/r/LONELY.gb"}},
        {"en", {"Japan"}, {"/r/Tetris (Japan).gb", "/r/Quest (Japan) (Rev A).gb", "/r/LONELY.gb"}},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(test.language);
        const QStringList order = test.order.isEmpty() ? defaultRegionOrder(test.language) : test.order;
        QStringList chosen;
        for (const int index : onePerGame(variants, order))
            chosen.append(games[size_t(index)].path);
        EXPECT_EQ(chosen.size(), 3);
        for (const QString &path : test.chosen)
            EXPECT_TRUE(chosen.contains(path)) << path.toStdString() << " among " << chosen.join(", ").toStdString();
    }
    EXPECT_EQ(revisionOfName("Quest (Japan) (Rev 2)"), 2);
    EXPECT_EQ(revisionOfName("Quest (Japan) (Rev B)"), 2);
    EXPECT_EQ(revisionOfName("Quest (Japan)"), 0);
}

// The library's filter over a model whose history is kept by content:
// each quick filter and collector's view, and the sorts by the new columns.
TEST(Collection, FiltersViewsAndSortsOverTheRows)
{
    const auto game = [](const char *path, const char *name, quint32 crc, bool verified = true) {
        LibraryGame g;
        g.path = path;
        g.name = name;
        g.verified = verified;
        g.hasCrc = crc != 0;
        g.crc32 = crc;
        g.size = 32768;
        return g;
    };
    LibraryModel model;
    model.setGames({game("/r/Quest (USA).gb", "Quest (USA)", 1), game("/r/Quest (Europe).gb", "Quest (Europe)", 2),
                    game("/s/Quest (Europe).zip", "Quest (Europe)", 2), game("/r/Hop (World).gb", "Hop (World)", 3),
                    game("/r/ODD.gb", "ODD", 0, false)});
    LibraryStore store;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    GameHistory europe{{2, 32768}, "/old/place/quest.gb", {3, now.addDays(-1), {}, 3900}, true, "mgba-qt", {}};
    GameHistory hop{{3, 32768}, "/r/Hop (World).gb", {1, now.addDays(-90), {}, 60}, false, "gngb", {}};
    store.games.insert({2, 32768}, europe);
    store.games.insert({3, 32768}, hop);
    store.plays.insert("/r/ODD.gb", {2, now, {}, 0});  // a game without a key: by its path
    model.setStore(store);
    FoundSaves saves;
    saves.insert("/r/Hop (World).gb", {SaveFile{"/r/Hop (World).sav", 8192, now, QString()}});
    model.setSaves(saves);

    LibraryFilter filter;
    filter.setSourceModel(&model);
    filter.setRegionOrder(defaultRegionOrder("en"));
    const auto shown = [&] {
        QStringList rows;
        for (int row = 0; row < filter.rowCount(); ++row)
            rows.append(filter.index(row, 0).data(LibraryModel::PathRole).toString());
        return rows;
    };
    using View = LibraryFilter::Collection;
    const struct {
        const char *what;
        std::function<void()> set;
        QStringList rows;
    } cases[] = {
        {"duplicates: each copy", [&] { filter.setCollection(View::Duplicates); },
         {"/r/Quest (Europe).gb", "/s/Quest (Europe).zip"}},
        {"one per game: USA before Europe", [&] { filter.setCollection(View::OnePerGame); },
         {"/r/Hop (World).gb", "/r/ODD.gb", "/r/Quest (USA).gb"}},
        {"one per game, Europe first", [&] { filter.setRegionOrder({"Europe"}); },
         {"/r/Hop (World).gb", "/r/ODD.gb", "/r/Quest (Europe).gb"}},
        {"with saves", [&] { filter.setCollection(View::WithSaves); }, {"/r/Hop (World).gb"}},
        {"favourites, by content whatever the path", [&] {
             filter.setCollection(View::All);
             filter.setFavouritesOnly(true);
         },
         {"/r/Quest (Europe).gb", "/s/Quest (Europe).zip"}},
        {"recently played", [&] {
             filter.setFavouritesOnly(false);
             filter.setRecentOnly(true);
         },
         {"/r/ODD.gb", "/r/Quest (Europe).gb", "/s/Quest (Europe).zip"}},
        {"by play time, longest first (the order turned whole)", [&] {
             filter.setRecentOnly(false);
             filter.sort(LibraryModel::PlayTime, Qt::DescendingOrder);
         },
         {"/s/Quest (Europe).zip", "/r/Quest (Europe).gb", "/r/Hop (World).gb", "/r/Quest (USA).gb", "/r/ODD.gb"}},
        {"by emulator", [&] { filter.sort(LibraryModel::Emulator, Qt::AscendingOrder); },
         {"/r/ODD.gb", "/r/Quest (USA).gb", "/r/Hop (World).gb", "/r/Quest (Europe).gb", "/s/Quest (Europe).zip"}},
        {"by copies, most first", [&] { filter.sort(LibraryModel::Copies, Qt::DescendingOrder); },
         {"/s/Quest (Europe).zip", "/r/Quest (Europe).gb", "/r/Quest (USA).gb", "/r/ODD.gb", "/r/Hop (World).gb"}},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(test.what);
        test.set();
        EXPECT_EQ(shown(), test.rows);
    }
    // What the columns say of them.
    const int quest = model.rowOf("/s/Quest (Europe).zip");
    EXPECT_EQ(model.index(quest, LibraryModel::Copies).data().toString(), "2");
    EXPECT_EQ(model.index(quest, LibraryModel::PlayTime).data().toString(), "1 h 05 min");
    EXPECT_EQ(model.index(quest, LibraryModel::Emulator).data().toString(), "mgba-qt");
    EXPECT_EQ(model.index(quest, LibraryModel::Played).data().toString(), "3");
    EXPECT_TRUE(model.index(quest, LibraryModel::Name).data().toString().startsWith(QStringLiteral("\u2605")));
    EXPECT_EQ(model.otherCopies(quest), QStringList{"/r/Quest (Europe).gb"});
    EXPECT_EQ(model.index(model.rowOf("/r/ODD.gb"), LibraryModel::Copies).data().toString(), "");
    // Counted again as the rows change: a copy gone, others come.
    const auto copiesOf = [&](const char *path) {
        return model.index(model.rowOf(path), LibraryModel::Copies).data().toString();
    };
    LibraryChange gone;
    gone.removed.insert("/r/Quest (Europe).gb");
    model.applyChange(gone);
    EXPECT_EQ(copiesOf("/s/Quest (Europe).zip"), "");
    model.appendGames(std::vector<LibraryGame>{game("/t/Quest.gb", "Quest (Europe)", 2), game("/t/Hop.gb", "Hop", 3),
                                               game("/t/Hop2.gb", "Hop", 3)});
    EXPECT_EQ(copiesOf("/s/Quest (Europe).zip"), "2");
    EXPECT_EQ(copiesOf("/r/Hop (World).gb"), "3");
    EXPECT_EQ(copiesOf("/r/Quest (USA).gb"), "");
    EXPECT_EQ(LibraryModel::playTimeText(59), "1 min");
    EXPECT_EQ(LibraryModel::playTimeText(0), "");
}

TEST(Collection, HistoryFollowsTheGameByItsContent)
{
    QTemporaryDir dir;
    const QString root = QDir(dir.path()).canonicalPath();
    const QByteArray image = readFile(SAMPLES_DIR "/roms/STARHOP.GB");
    const QString rom = writeFile(root + "/games/star.gb", image);
    const RomKey content{crcOf(image), image.size()};
    const QString store = root + "/library.txt";
    // A store of the version before: by path, a favourite too.
    writeFile(store, "# Vantorix library 1\nfolder\t" + rom.left(rom.lastIndexOf('/')).toUtf8() + "\nplayed\t"
                         + rom.toUtf8() + "\t4\t1700000000\t600\nfavourite\t" + rom.toUtf8()
                         + "\nplayed\t/gone/away.gb\t1\t1700000000\n");
    Catalogue catalogue;
    const ContentOf contentOf = [&](const QString &path) {
        const std::optional<LibraryGame> game = readLibraryGame(path, catalogue, 0);
        return game ? game->content() : RomKey();
    };
    LibraryStore::recordPlays({PlayEvent{rom, QDateTime::currentDateTimeUtc(), -1, content, "mgba-qt -f"},
                               PlayEvent{rom, QDateTime::currentDateTimeUtc(), 65, content, QString()}},
                              store, LibraryStore::kLockWaitMs, contentOf);
    const QByteArray written = readFile(store);
    EXPECT_TRUE(written.startsWith("# Vantorix library 2\n"));
    EXPECT_FALSE(written.contains("played\t" + rom.toUtf8()));   // carried over
    EXPECT_TRUE(written.contains("played\t/gone/away.gb"));     // a file not there keeps its path

    // Renamed, moved to another folder, zipped: the same history.
    const struct {
        const char *what;
        QString path;
        QByteArray bytes;
    } moves[] = {
        {"renamed", root + "/games/Star Hopper.gb", image},
        {"in another folder", root + "/other/disk/star.gb", image},
        {"zipped", root + "/games/star.zip", makeArchive(ArchiveFormat::ZipDeflated, {{"star.gb", image}})},
    };
    for (const auto &move : moves) {
        SCOPED_TRACE(move.what);
        writeFile(move.path, move.bytes);
        const std::optional<LibraryGame> game = readLibraryGame(move.path, catalogue, 0);
        ASSERT_TRUE(game.has_value());
        const LibraryStore read = LibraryStore::read(store);
        const PlayRecord play = read.playOf(LibraryStore::keyOf(move.path), game->content());
        EXPECT_EQ(play.count, 5);
        EXPECT_EQ(play.seconds, 665);
        EXPECT_TRUE(read.isFavourite(LibraryStore::keyOf(move.path), game->content()));
        EXPECT_EQ(read.emulatorOf(game->content()), "mgba-qt -f");
    }
    // A favourite taken back by content; another play from the zip.
    EXPECT_FALSE(LibraryStore::toggleFavourite(root + "/games/star.zip", store, content, contentOf));
    EXPECT_FALSE(LibraryStore::read(store).isFavourite(rom, content));
    const LibraryStore back = LibraryStore::parse(readFile(store));
    EXPECT_EQ(LibraryStore::parse(back.serialize()).serialize(), back.serialize());
    // The version before refuses to change it, and keeps it whole.
    writeFile(store, QByteArray(written).replace("library 2", "library 3"));
    EXPECT_THROW(LibraryStore::addFolders({"/x"}, store), IoError);
}

// The saves as scripts see them: listed, backed up once while unchanged,
// and a save that cannot be copied named with exit 1.
TEST(Collection, SaveCommands)
{
    QTemporaryDir dir;
    const QString games = QDir(dir.path()).canonicalPath() + "/games";
    writeFile(games + "/Quest.gb", romImage("QUEST"));
    writeFile(games + "/Quest.sav", "QUEST SAVE");
    writeFile(games + "/Hop.gb", romImage("HOP"));
    writeFile(games + "/Empty.gb", romImage("EMPTY"));
    writeFile(games + "/Empty.sav", "");
    int status = -1;
    runKelpad({"--library-add", games}, &status);
    ASSERT_EQ(status, 0);
    const auto lines = [&](const QStringList &arguments) {
        return runKelpad(arguments, &status).split('\n', Qt::SkipEmptyParts);
    };
    QStringList listed = lines({"--library-saves"});
    EXPECT_EQ(status, 0);
    ASSERT_EQ(listed.size(), 3);
    EXPECT_EQ(listed.at(0), "name\tsave\tsize\tmodified\tbackups\tpath");
    EXPECT_EQ(listed.at(2).section('\t', 0, 2), "QUEST\t" + games + "/Quest.sav\t10");
    EXPECT_EQ(listed.at(2).section('\t', 4), "0\t" + games + "/Quest.gb");
    EXPECT_EQ(listed.at(2).section('\t', 3, 3).size(), 16);  // YYYY-MM-DD HH:MM
    // The list's last column names each game's own save, and none for a
    // game without one (the saves are looked for while the lines sort).
    QStringList list = lines({"--library-list"});
    ASSERT_EQ(list.size(), 4);
    for (const QString &line : list.mid(1)) {
        const QString rom = line.section('\t', 8, 8);
        const QString save = rom.endsWith("/Hop.gb") ? QString() : rom.chopped(3) + ".sav";
        EXPECT_EQ(line.section('\t', 12), save) << line.toStdString();
    }
    EXPECT_EQ(lines({"--backup-saves"}), QStringList{"1 save backed up"});  // the empty one is no backup
    EXPECT_EQ(status, 0);
    EXPECT_EQ(lines({"--backup-saves"}), QStringList{"0 saves backed up"});
    listed = lines({"--library-saves"});
    EXPECT_EQ(listed.value(2).section('\t', 4, 4), "1");
    // A save too large to be one is named, and the others still copied.
    writeFile(games + "/Quest.sav", "QUEST SAVE 2");
    QFile large(writeFile(games + "/Hop.sav", ""));
    ASSERT_TRUE(large.resize(qint64(17) << 20));
    QString errors;
    runKelpad({"--backup-saves"}, &status, &errors);
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(errors.contains(games + "/Hop.sav: ")) << errors.toStdString();
    EXPECT_EQ(lines({"--library-saves"}).value(3).section('\t', 4, 4), "2");

    // What goes with what.
    for (const QStringList &wrong : {QStringList{"--library-missing", "a", "b"}, QStringList{"--library-saves", "x"},
                                     QStringList{"--backup-saves", "--library"}}) {
        runKelpad(wrong, &status);
        EXPECT_EQ(status, 2) << wrong.join(' ').toStdString();
    }
    runKelpad({"--library-remove", games}, &status);
}

TEST(Collection, SavesFoundBackedUpAndPutBack)
{
    QTemporaryDir dir;
    const QString root = QDir(dir.path()).canonicalPath();
    const QString config = root + "/config";
    const QString rom = writeFile(root + "/games/Quest.gb", romImage("QUEST"));
    const QString zipped = writeFile(root + "/games/Hop.zip", "not read here");
    // Where each emulator keeps them.
    const struct {
        const char *what;
        QByteArray retroArchConfig;  // empty: none
        QByteArray mgbaConfig;
        QString save;                // written, and to be found
    } places[] = {
        {"mGBA, VisualBoyAdvance beside the ROM", "", "", root + "/games/Quest.sav"},
        {"RetroArch's content folder", "", "", root + "/games/Quest.srm"},
        {"the clock beside the ROM", "", "", root + "/games/Quest.rtc"},
        {"RetroArch's default folder", "video_driver = \"gl\"\n", "", config + "/retroarch/saves/Quest.srm"},
        {"RetroArch's per-core folder", "savefile_directory = \"default\"\n", "",
         config + "/retroarch/saves/Gambatte/Quest.srm"},
        {"RetroArch's own folder", "savefile_directory = \"" + root.toUtf8() + "/ra\"\n", "", root + "/ra/Quest.srm"},
        {"RetroArch's folder beside its file", "savefile_directory = \":/mine\"\n", "",
         config + "/retroarch/mine/Quest.srm"},
        {"mGBA's save folder", "", "[ports.qt]\nsavegamePath=" + root.toUtf8() + "/mg\n", root + "/mg/Quest.sav"},
    };
    for (const auto &place : places) {
        SCOPED_TRACE(place.what);
        QDir(config).removeRecursively();
        writeFile(config + "/retroarch/retroarch.cfg", place.retroArchConfig);
        if (!place.mgbaConfig.isEmpty())
            writeFile(config + "/mgba/config.ini", place.mgbaConfig);
        SaveFolders folders;
        folders.retroArch = retroArchSaveFolder(place.retroArchConfig, config + "/retroarch/retroarch.cfg");
        folders.mgba = mgbaSaveFolder(place.mgbaConfig);
        writeFile(place.save, "SAVE");
        const FoundSaves found = findSaves({rom, zipped}, folders);
        ASSERT_EQ(found.value(rom).size(), 1);
        EXPECT_EQ(found.value(rom).constFirst().path, place.save);
        EXPECT_EQ(found.value(rom).constFirst().size, 4);
        EXPECT_FALSE(found.contains(zipped));
        QFile::remove(place.save);
    }

    // Backups: made, skipped while equal to the latest, never over another.
    const QString backups = root + "/backups";
    const QString savePath = writeFile(root + "/games/Quest.sav", "FIRST");
    SaveFile save;
    save.path = savePath;
    const QDateTime when(QDate(2026, 12, 9), QTime(21, 30, 5));
    const QString first = backUpSave(save, "Quest (World)", "mgba", when, backups);
    EXPECT_EQ(first, backups + "/Quest (World)/2026-12-09 21.30.05 mgba.sav");
    EXPECT_TRUE(backUpSave(save, "Quest (World)", "mgba", when, backups).isEmpty());  // the same bytes
    writeFile(savePath, "SECOND");
    EXPECT_EQ(backUpSave(save, "Quest (World)", "mgba", when, backups),
              backups + "/Quest (World)/2026-12-09 21.30.05 mgba 2.sav");
    EXPECT_EQ(readFile(first), "FIRST");
    SaveFile empty;
    empty.path = writeFile(root + "/games/Hop.sav", "");
    EXPECT_TRUE(backUpSave(empty, "Hop", "mgba", when, backups).isEmpty());  // nothing written into it
    EXPECT_EQ(saveBackups("Hop", backups), QStringList());
    EXPECT_EQ(saveBackups("Quest (World)", backups).size(), 2);
    EXPECT_EQ(saveBackupFolder("a/b", backups), backups + "/a_b");  // a name is no path

    // Put back: refused while the game runs; else the save there is kept first.
    try {
        restoreSave(first, savePath, "Quest (World)", "mgba", true, backups);
        ADD_FAILURE() << "restored while running";
    } catch (const IoError &error) {
        EXPECT_EQ(error.code(), IoError::GameRunning);
    }
    EXPECT_EQ(readFile(savePath), "SECOND");
    writeFile(savePath, "THIRD");
    restoreSave(first, savePath, "Quest (World)", "mgba", false, backups);
    EXPECT_EQ(readFile(savePath), "FIRST");
    const QStringList kept = saveBackups("Quest (World)", backups);
    ASSERT_EQ(kept.size(), 3);
    EXPECT_EQ(readFile(kept.constLast()), "THIRD");

    // A game another program runs (a file manager's kelpad) counts as
    // running too.
    QProcess holder;
    holder.start("tail", {"-f", rom});
    ASSERT_TRUE(holder.waitForStarted(60000));
    EXPECT_TRUE(waitFor([&] { return isArgumentOfRunningProgram(rom); }, 60000));
    EXPECT_FALSE(isArgumentOfRunningProgram(savePath));
    holder.kill();
    holder.waitForFinished(60000);
    EXPECT_FALSE(isArgumentOfRunningProgram(rom));

    // The label of a backup: the emulator's program, the place of a save
    // kept apart.
    SaveFile apart;
    apart.emulator = "RetroArch";
    const struct {
        QString text;
        SaveFile save;
        QString label;
    } labels[] = {
        {"mgba-qt -f", SaveFile(), "mgba-qt"},
        {"\"/opt/my emu/gambatte\" --full", SaveFile(), "gambatte"},
        {"flatpak run io.mgba.mGBA", SaveFile(), "mGBA"},
        {"", SaveFile(), "save"},
        {"mgba-qt", apart, "RetroArch"},
    };
    for (const auto &label : labels)
        EXPECT_EQ(emulatorLabel(label.text, label.save), label.label) << label.text.toStdString();
}

}  // namespace
