#pragma once

#include "library/LibraryScan.h"
#include "library/LibraryStore.h"

#include <QAbstractProxyModel>
#include <QAbstractTableModel>
#include <QDateTime>
#include <QTimer>

#include <deque>
#include <vector>

namespace vantorix {

// The library's games as a table, one row a game, fed in batches. No
// widget: the windows show it through LibraryFilter.
class LibraryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Name, System, Region, Size, Verified, Played, LastPlayed, Folder, File, ColumnCount };
    enum Role {
        PathRole = Qt::UserRole,  // the game's absolute path
        FavouriteRole,
        ColourRole,
    };

    explicit LibraryModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The games of a whole pass, replacing all; or those of some library
    // folders, replacing the games found in them before.
    void setGames(std::vector<LibraryGame> games);
    void replaceFolders(const QStringList &folders, std::vector<LibraryGame> games);
    // The games a pass found in some library folders now: those new are
    // added, and only where games are gone is the model built again (a
    // file copied in is a few rows inserted, not 100,000 reset).
    void updateFolders(const QStringList &folders, std::vector<LibraryGame> games);
    void appendGames(const std::vector<LibraryGame> &games);
    void setStore(const LibraryStore &store);

    const LibraryGame &game(int row) const { return games_[size_t(row)]; }
    const PlayRecord play(int row) const { return store_.plays.value(games_[size_t(row)].path); }
    bool isFavourite(int row) const { return store_.favourites.contains(games_[size_t(row)].path); }
    // The row of the game at path, or -1.
    int rowOf(const QString &path) const;

    // What the filter and the sort compare, made once a game: the name
    // folded and with its numbers padded ("game 0000000010"), so that
    // "Game 2" sorts before "Game 10" whatever the letter case.
    const QByteArray &sortName(int row) const { return games_[size_t(row)].sortKey; }
    // Makes the game's keys where it has none (see LibraryGame).
    static void prepare(LibraryGame &game);

    // As UTF-8 bytes: half the memory of text, and compared as bytes.
    static QByteArray naturalKey(const QString &text);
    // The text a filter looks for, as the keys hold it.
    static QByteArray foldedKey(const QString &text);

private:
    // Deques: 100,000 games grow without a copy of them all.
    std::deque<LibraryGame> games_;
    LibraryStore store_;

    friend class LibraryFilter;
};

// The rows shown: filtered by a text over name and file (as the main
// window's find matches), by system, verified, favourites and recently
// played, and sorted by any column. Done over the model's ready keys, in
// one pass each: a filter keystroke or a sort of 100,000 games stays well
// within the window's 100 ms.
class LibraryFilter : public QAbstractProxyModel {
    Q_OBJECT
public:
    enum class SystemFilter { All, GameBoy, Colour };
    static constexpr int kRecentDays = 30;

    explicit LibraryFilter(QObject *parent = nullptr);
    void setSourceModel(QAbstractItemModel *model) override;

    void setText(const QString &text);
    void setSystem(SystemFilter system);
    void setVerifiedOnly(bool on);
    void setFavouritesOnly(bool on);
    void setRecentOnly(bool on);
    const QString &text() const { return text_; }

    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    int sortColumn() const { return sortColumn_; }
    Qt::SortOrder sortOrder() const { return sortOrder_; }

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &) const override { return QModelIndex(); }
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex mapToSource(const QModelIndex &proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex &sourceIndex) const override;

    // Shows at once the rows of batches still waiting for their refresh
    // (a pass that ended).
    void flush()
    {
        if (pendingRefresh_.isActive())
            refresh();
    }

    // How many games the filter lets through, of how many.
    int shownCount() const { return int(rows_.size()); }
    int totalCount() const;

private:
    LibraryModel *library() const;
    bool accepts(int row, const QDateTime &recentSince) const;
    // Sorts every game again (the games or the order changed), then
    // filters.
    void refresh();
    // Takes the games that pass from the sorted order: a keystroke sorts
    // nothing.
    void refilter();
    // Rows added at the end of the model: placed in the sorted order one by
    // one when they are few, else sorted with all the rest, a moment later.
    void takeInsertedRows(int first, int last);
    std::vector<PlayRecord> playsForSort() const;
    std::vector<QByteArrayView> sortNames() const;
    // names: each game's sort key, in one array, so that a sort of
    // 100,000 games does not walk the model for each comparison.
    bool lessThan(int a, int b, const std::vector<QByteArrayView> &names, const std::vector<PlayRecord> &plays) const;

    // Batches of a pass come many a second: the rows shown follow them at
    // most every kRefreshMs, so that the window does not sort 100,000
    // games again for each.
    static constexpr int kRefreshMs = 500;
    QTimer pendingRefresh_;
    QString text_;
    QByteArray foldedText_;
    SystemFilter system_ = SystemFilter::All;
    bool verifiedOnly_ = false;
    bool favouritesOnly_ = false;
    bool recentOnly_ = false;
    int sortColumn_ = LibraryModel::Name;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    std::vector<int> sorted_;      // every source row, in the order chosen
    std::vector<int> rows_;        // source rows, in the order shown
    std::vector<int> positionOf_;  // source row -> shown row, or -1
};

// The library's list for scripts: a header line, then a line a game sorted
// by path, tab-separated (name, system, region, size, crc32, verified,
// played, last played, path). Each game's line is made as it is read, so
// that the games themselves need not all be kept.
struct LibraryListLine {
    QByteArray path;  // the sort key: the path's bytes
    QByteArray text;  // the whole line, ended
};
LibraryListLine libraryListLine(const LibraryGame &game, const LibraryStore &store);
QByteArray libraryListText(std::vector<LibraryListLine> lines);

}  // namespace vantorix
