#pragma once

#include "library/GameSaves.h"
#include "library/GameVariants.h"
#include "library/LibraryRow.h"
#include "library/LibraryScan.h"
#include "library/LibraryStore.h"

#include <QAbstractTableModel>
#include <QDateTime>

#include <functional>
#include <vector>

namespace vantorix {

// The library's games as a table, one row a game, fed in batches. No
// widget: the windows show it through LibraryFilter.
class LibraryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Name, System, Region, Size, Verified, Played, LastPlayed, Folder, File,
        Copies, PlayTime, Emulator, Save,
        ColumnCount
    };
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
    // What a pass found changed in some places (folders of the library,
    // alone or with their subfolders): the games gone are removed and
    // those new added, as rows removed and inserted, never a reset (a file
    // copied in is a row inserted, and the rows chosen stay chosen).
    void applyChange(const LibraryChange &change);
    // Every game's path and stamp, for a pass to tell what changed.
    std::vector<LibraryListed> listed() const;
    // The games found through a library folder leave with it.
    void removeFolder(const QString &folder);
    void appendGames(const std::vector<LibraryGame> &games);
    void appendGames(std::vector<LibraryGame> &&games);
    // Rows made off the window's thread (LibraryRow of each game).
    void appendRows(std::vector<LibraryRow> &&rows);
    void setStore(const LibraryStore &store);
    const LibraryStore &store() const { return store_; }

    // The game of a row, its texts copied; what the filter and the sort
    // look at, as the row keeps it.
    LibraryGame game(int row) const { return rows_[size_t(row)].game(); }
    const LibraryRow &row(int row) const { return rows_[size_t(row)]; }
    PlayRecord play(int row) const
    {
        const LibraryRow &game = rows_[size_t(row)];
        return store_.playOf(game.historyKeyForLookup(), game.content());
    }
    bool isFavourite(int row) const
    {
        const LibraryRow &game = rows_[size_t(row)];
        return store_.isFavourite(game.historyKeyForLookup(), game.content());
    }
    // The slot's program text the game was last played with, or empty.
    QString emulatorOf(int row) const { return store_.emulatorOf(rows_[size_t(row)].content()); }
    // How many files of the library hold the game's ROM (1 where its key
    // is not known).
    int copies(int row) const;
    // The paths of the other files holding the game's ROM.
    QStringList otherCopies(int row) const;
    // Every game's path.
    QStringList paths() const;
    // The rows as they are now, taken in a moment (their texts shared, not
    // copied) for work on another thread.
    std::vector<LibraryRow> rows() const { return rows_; }
    // The saves found for the games (by path), from findSaves.
    void setSaves(FoundSaves saves);
    QList<SaveFile> savesOf(int row) const { return saves_.value(rows_[size_t(row)].pathForLookup()); }
    bool hasSave(int row) const { return saves_.contains(rows_[size_t(row)].pathForLookup()); }
    // The rows of "One per game": of each game's variants, one.
    std::vector<int> onePerGameRows(const QStringList &regionOrder) const;
    // "1 h 05 min", "12 min"; empty for none.
    static QString playTimeText(qint64 seconds);
    // The program of an emulator's slot text ("mgba-qt").
    static QString emulatorName(const QString &emulatorText);
    // The row of the game at path, or -1.
    int rowOf(const QString &path) const;

    // What the filter and the sort compare, made once a game: the name
    // folded and with its numbers padded ("game 0000000010"), so that
    // "Game 2" sorts before "Game 10" whatever the letter case.
    QByteArrayView sortName(int row) const { return rows_[size_t(row)].sortKey(); }

private:
    // Removes the rows for which gone is true, range by range from the
    // end; too scattered, the model is built again.
    void removeGames(const std::function<bool(const LibraryRow &)> &gone);
    // Counts every row's copies where they changed since.
    void countCopies() const;

    // One block: 100,000 games lie apart from the heap's small pieces
    // (given back whole when they go), and growing moves each game's few
    // pointers, never its texts.
    std::vector<LibraryRow> rows_;
    LibraryStore store_;
    FoundSaves saves_;
    // The copies are counted again at the first look after the games changed.
    mutable bool copiesCounted_ = false;

    friend class LibraryFilter;
};

}  // namespace vantorix
