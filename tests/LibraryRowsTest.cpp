// The library's rows as they follow the disk: a folder read again against
// the rows it has (what changed, what went, what another place lists), the
// filter moving the chosen rows through removals and a sort run off the
// thread while rows keep coming, and plays written when the run ends.
#include "library/LibraryChanges.h"
#include "library/LibraryFilter.h"
#include "library/LibraryKeys.h"
#include "library/LibraryModel.h"
#include "library/LibraryRow.h"
#include "library/LibraryScan.h"
#include "library/LibraryStore.h"
#include "reading/Catalogue.h"
#include "platform/FilePath.h"
#include "settings/ConfigurationFile.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QPersistentModelIndex>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include <unistd.h>

using namespace testing_support;
using namespace vantorix;

namespace {

QStringList paths(const std::vector<LibraryGame> &games)
{
    QStringList list;
    for (const LibraryGame &game : games)
        list.append(baseName(game.path));
    list.sort();
    return list;
}

// A row keeps what its game had, whatever its texts: each row made from a
// game gives that game back, and the keys made for ASCII names straight
// into the row's block are the ones the general way makes.
TEST(LibraryRows, ARowGivesItsGameBackWithItsKeys)
{
    const struct {
        QString path;
        QString realPath;
        QString name;
    } cases[] = {
        {"/g/Tetris (World) (Rev 1).gb", "", "Tetris (World) (Rev 1)"},
        {"/g/GAME 2.GB", "", "Game 2 of 10"},
        {"/g/12345678901.gb", "", "12345678901 numbers 007"},
        {"/linked/Kirby.gb", "/real/Kirby.gb", "KIRBY"},
        {"/g/Pok\u00e9mon.gbc", "", "Pok\u00e9mon - Edizione Gialla (Italy)"},
        {decodePath("/g/caf\xe9.gb"), "", "CAFE"},
        {"/g/no extension", "", ""},
        {"/g/.gb", "", "Dot"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        LibraryGame game;
        game.path = c.path;
        game.realPath = c.realPath;
        game.folder = QStringLiteral("/g");
        game.name = c.name;
        game.colour = true;
        game.verified = true;
        game.hasCrc = true;
        game.crc32 = 0x1234abcd;
        game.size = 65536;
        game.stamp.inode = 42;
        const LibraryRow row(game);
        const LibraryGame back = row.game();
        EXPECT_EQ(back.path, c.path);
        EXPECT_EQ(back.realPath, c.realPath);
        EXPECT_EQ(back.historyKey(), row.historyKeyForLookup());
        EXPECT_EQ(back.name, c.name);
        EXPECT_EQ(back.folder, QStringLiteral("/g"));
        EXPECT_TRUE(back.colour && back.verified && back.hasCrc);
        EXPECT_EQ(back.content(), (RomKey{0x1234abcd, 65536}));
        EXPECT_EQ(back.stamp.inode, 42u);
        EXPECT_EQ(row.region(), regionOfName(c.name));

        QString file = displayPath(baseName(c.path));
        if (file.lastIndexOf(QLatin1Char('.')) > 0)
            file.truncate(file.lastIndexOf(QLatin1Char('.')));
        EXPECT_EQ(row.sortKey(), naturalKey(c.name));
        EXPECT_EQ(row.filterKey(), foldedKey(c.name + QLatin1Char('\t') + file));
    }
}

// The rows' texts are shared, not copied, by the work other threads do
// over them (a sort, a look for saves): rows taken by four threads while
// the window's thread drops its own and makes new ones; each thread still
// reads every text whole, and the last holder frees it (the sanitizers
// watch the counts).
TEST(LibraryRows, TextsSharedWithOtherThreadsOutliveTheRows)
{
    std::vector<LibraryRow> rows;
    for (int i = 0; i < 2000; ++i) {
        LibraryGame game;
        game.path = QStringLiteral("/games/Game %1.gb").arg(i);
        game.name = QStringLiteral("Game %1").arg(i);
        rows.emplace_back(std::move(game));
    }
    std::vector<std::thread> readers;
    std::atomic<int> whole{0};
    for (int t = 0; t < 4; ++t) {
        readers.emplace_back([taken = rows, &whole] {
            for (int pass = 0; pass < 20; ++pass) {
                std::vector<LibraryRow> again = taken;  // as a sort's snapshot is made
                int right = 0;
                for (size_t i = 0; i < again.size(); ++i)
                    right += again[i].pathView() == QStringLiteral("/games/Game %1.gb").arg(i)
                             && again[i].sortKey() == naturalKey(QStringLiteral("Game %1").arg(i));
                if (right == int(again.size()))
                    whole.fetch_add(1);
            }
        });
    }
    for (int round = 0; round < 50; ++round) {
        rows.erase(rows.begin(), rows.begin() + 20);
        LibraryGame game;
        game.path = QStringLiteral("/games/New %1.gb").arg(round);
        game.name = QStringLiteral("New");
        rows.emplace_back(std::move(game));
    }
    for (std::thread &reader : readers)
        reader.join();
    EXPECT_EQ(whole.load(), 4 * 20);
    EXPECT_EQ(rows.size(), 2000u - 50 * 20 + 50);
    EXPECT_EQ(rows.back().pathView(), QStringLiteral("/games/New 49.gb"));
}

TEST(LibraryRows, AFolderReadAgainReadsWhatChanged)
{
    QTemporaryDir dir;
    const QString games = QDir(dir.path()).canonicalPath() + "/games";
    const QByteArray star = readFile(SAMPLES_DIR "/roms/STARHOP.GB");
    for (const char *name : {"kept.gb", "changed.gb", "gone.gb", "twice.gb"})
        writeFile(games + "/" + name, star);
    ASSERT_TRUE(QDir().mkpath(games + "/sub"));
    ASSERT_EQ(::symlink("../twice.gb", QFile::encodeName(games + "/sub/link.gb").constData()), 0);
    Catalogue catalogue;
    QStringList problems;
    const std::vector<LibraryGame> first = scanLibraryPlaces({{games, games, false}}, catalogue, &problems);
    std::vector<LibraryListed> rows;
    for (const LibraryGame &game : first)
        rows.push_back({game.path, game.stamp});
    ASSERT_EQ(rows.size(), 4u);

    // One changed, one gone, one new; the link in a subfolder names a file
    // the rows list already.
    writeFile(games + "/changed.gb", star + QByteArray(16, '\0'));
    QFile::remove(games + "/gone.gb");
    writeFile(games + "/new.gb", star);
    const LibraryChange folder = rescanPlaces({{games, games, false}}, rows, catalogue);
    EXPECT_EQ(paths(folder.added), QStringList({"changed.gb", "new.gb"}));  // kept.gb not read again
    QStringList removed(folder.removed.cbegin(), folder.removed.cend());
    for (QString &path : removed)
        path = baseName(path);
    removed.sort();
    EXPECT_EQ(removed, QStringList({"changed.gb", "gone.gb"}));
    const LibraryChange sub = rescanPlaces({{games + "/sub", games, true}}, rows, catalogue);
    EXPECT_TRUE(sub.added.empty());  // the same file, listed through the folder
    EXPECT_TRUE(sub.removed.isEmpty());
}

TEST(LibraryRows, ChosenRowsFollowRemovalsAndASortOffTheThread)
{
    Catalogue catalogue;
    LibraryModel model;
    LibraryFilter filter;
    filter.setSourceModel(&model);
    filter.sortOn(&catalogue);
    const auto game = [](int i) {
        LibraryGame g;
        g.path = QStringLiteral("/g/%1.gb").arg(i);
        g.folder = QStringLiteral("/g");
        g.name = QStringLiteral("Game %1").arg(i);
        g.size = i;
        return g;
    };
    std::vector<LibraryGame> many;
    for (int i = 0; i < LibraryFilter::kSortInPlace + 1000; ++i)
        many.push_back(game(i));
    model.appendGames(std::move(many));
    filter.flush();
    ASSERT_TRUE(waitFor([&] { return !filter.sorting() && filter.shownCount() == model.rowCount(); }));
    // Natural order: "Game 2" before "Game 10".
    EXPECT_EQ(filter.index(2, 0).data(LibraryModel::PathRole).toString(), "/g/2.gb");

    // The chosen row follows its game through a removal before it.
    const QPersistentModelIndex chosen(filter.index(100, 0));
    const QString chosenPath = chosen.data(LibraryModel::PathRole).toString();
    LibraryChange change;
    change.removed.insert("/g/0.gb");
    change.removed.insert("/g/1.gb");
    model.applyChange(change);
    ASSERT_TRUE(chosen.isValid());
    EXPECT_EQ(chosen.data(LibraryModel::PathRole).toString(), chosenPath);
    EXPECT_EQ(chosen.row(), 98);

    // A sort by size, descending, off the thread; rows come meanwhile and
    // are placed in it when it lands.
    filter.sort(LibraryModel::Size, Qt::DescendingOrder);
    EXPECT_TRUE(filter.sorting());
    std::vector<LibraryGame> late{game(1'000'000), game(-1)};
    model.appendGames(std::move(late));
    ASSERT_TRUE(waitFor([&] { return !filter.sorting(); }));
    filter.flush();
    EXPECT_EQ(filter.shownCount(), model.rowCount());
    EXPECT_EQ(filter.index(0, 0).data(LibraryModel::PathRole).toString(), "/g/1000000.gb");
    EXPECT_EQ(filter.index(filter.shownCount() - 1, 0).data(LibraryModel::PathRole).toString(), "/g/-1.gb");
    EXPECT_EQ(chosen.data(LibraryModel::PathRole).toString(), chosenPath);  // still chosen, wherever it went
}

TEST(LibraryRows, PlaysWaitingAreWrittenWhenTheRunEnds)
{
    QTemporaryDir dir;
    const QString store = dir.filePath("library.txt");
    Catalogue catalogue;
    {
        auto held = std::make_unique<ConfigurationLock>(store, 0);
        LibraryChanges changes(catalogue, store);
        changes.recordPlay("/g/a.gb");
        changes.recordPlayTime("/g/a.gb", 90);
        catalogue.waitForTasks();  // the write waited for the lock and gave up
        EXPECT_EQ(changes.waitingPlays(), 2);
        held.reset();
    }  // the end of the run writes them
    const PlayRecord record = LibraryStore::read(store).plays.value("/g/a.gb");
    EXPECT_EQ(record.count, 1);
    EXPECT_EQ(record.seconds, 90);
}

}  // namespace
