#pragma once

#include "library/LibraryModel.h"

#include <QAbstractProxyModel>
#include <QDateTime>
#include <QTimer>

#include <functional>
#include <vector>

namespace vantorix {

class Catalogue;

// What a sort of the library compares, taken from the model at once (the
// names shared, not copied) so that the sort itself may run on another
// thread: each game's natural name key and the column's own key.
struct LibrarySortKeys {
    int column = LibraryModel::Name;
    // The rows' blocks (shared), and where in each its name key lies.
    std::vector<SharedBytes> names;
    std::vector<std::pair<quint32, quint32>> nameAt;
    QByteArrayView nameOf(int row) const
    {
        return names[size_t(row)].view().sliced(nameAt[size_t(row)].first, nameAt[size_t(row)].second);
    }
    std::vector<qint64> numbers;  // System, Size, Verified, Played, Last played, Copies, Play time, Save
    std::vector<QString> texts;   // Region, Folder, File, Emulator
    bool less(int a, int b) const;
    // Every row, in the order asked.
    std::vector<int> sorted(Qt::SortOrder order) const;
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
    // A collector's views: every game, the games held more than once (each
    // copy a row), one row of each game's variants, the games with a save.
    enum class Collection { All, Duplicates, OnePerGame, WithSaves };
    static constexpr int kRecentDays = 30;

    explicit LibraryFilter(QObject *parent = nullptr);
    // Sorts of more than kSortInPlace games run on this catalogue's
    // executor; without one, on the caller's thread.
    void sortOn(Catalogue *catalogue) { catalogue_ = catalogue; }
    static constexpr int kSortInPlace = 5000;
    // Whether a sort is under way off the thread.
    bool sorting() const { return sortSerial_ != sortsTaken_; }
    void setSourceModel(QAbstractItemModel *model) override;

    void setText(const QString &text);
    void setSystem(SystemFilter system);
    void setVerifiedOnly(bool on);
    void setFavouritesOnly(bool on);
    void setRecentOnly(bool on);
    void setCollection(Collection collection);
    // The regions "One per game" prefers, first to last.
    void setRegionOrder(const QStringList &regions);
    Collection collection() const { return collection_; }
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
    void sortAll();
    void filterAll();
    // Runs change (which makes the rows shown anew) as a change of layout:
    // the rows the views hold (the chosen ones) are followed to their new
    // places, never reset.
    void changeLayout(const std::function<void()> &change);
    // The source rows of shown rows (-1 for none), and the shown rows moved
    // to where those source rows are shown now.
    std::vector<int> sourcesOf(const QModelIndexList &shown) const;
    void movePersistent(const QModelIndexList &before, const std::vector<int> &sources);
    // Takes the games that pass from the sorted order: a keystroke sorts
    // nothing.
    void refilter();
    // Rows added at the end of the model: placed in the sorted order one by
    // one when they are few, else sorted with all the rest, a moment later.
    void takeInsertedRows(int first, int last);
    LibrarySortKeys sortKeys() const;
    // Places the rows first to last (new at the end of the model) in the
    // sorted order, then filters.
    void placeRows(const LibrarySortKeys &keys, int first, int last);

    // Batches of a pass come many a second: the rows shown follow them at
    // most every kRefreshMs, so that the window does not sort 100,000
    // games again for each.
    static constexpr int kRefreshMs = 500;
    QTimer pendingRefresh_;
    Catalogue *catalogue_ = nullptr;
    quint64 sortSerial_ = 0;
    quint64 sortsTaken_ = 0;
    quint64 generation_ = 0;  // bumped when rows go: an order taken before names others
    QString text_;
    QByteArray foldedText_;
    SystemFilter system_ = SystemFilter::All;
    bool verifiedOnly_ = false;
    bool favouritesOnly_ = false;
    bool recentOnly_ = false;
    Collection collection_ = Collection::All;
    QStringList regionOrder_;
    std::vector<bool> chosenOfGame_;  // by source row: the row "One per game" shows
    int sortColumn_ = LibraryModel::Name;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    std::vector<int> sorted_;      // every source row, in the order chosen
    std::vector<int> rows_;        // source rows, in the order shown
    std::vector<int> positionOf_;  // source row -> shown row, or -1
    QModelIndexList removedBefore_;          // what the views held then
    std::vector<int> removedSources_;        // their source rows
};

}  // namespace vantorix
