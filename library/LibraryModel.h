#pragma once

#include "library/LibraryScan.h"
#include "library/LibraryStore.h"

#include <QAbstractProxyModel>
#include <QAbstractTableModel>
#include <QDateTime>

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
    const QString &sortName(int row) const { return keys_[size_t(row)].name; }
    const QString &foldedFile(int row) const { return keys_[size_t(row)].file; }

    static QString naturalKey(const QString &text);

private:
    struct Keys {
        QString name;  // naturalKey of the name
        QString file;  // the file's name, folded
        QString folded; // the name, folded
    };
    Keys keysOf(const LibraryGame &game) const;

    std::vector<LibraryGame> games_;
    std::vector<Keys> keys_;
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

    // How many games the filter lets through, of how many.
    int shownCount() const { return int(rows_.size()); }
    int totalCount() const;

private:
    LibraryModel *library() const;
    bool accepts(int row, const QDateTime &recentSince) const;
    void refresh();
    bool lessThan(int a, int b) const;

    QString text_;
    QString foldedText_;
    SystemFilter system_ = SystemFilter::All;
    bool verifiedOnly_ = false;
    bool favouritesOnly_ = false;
    bool recentOnly_ = false;
    int sortColumn_ = LibraryModel::Name;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    std::vector<int> rows_;        // source rows, in the order shown
    std::vector<int> positionOf_;  // source row -> shown row, or -1
};

// The library's list for scripts: a header line, then a line a game sorted
// by path, tab-separated (name, system, region, size, crc32, verified,
// played, last played, path).
QByteArray libraryListText(std::vector<LibraryGame> games, const LibraryStore &store);

}  // namespace vantorix
