#include "library/LibraryFilter.h"
#include "library/LibraryKeys.h"

#include "reading/Catalogue.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace vantorix {

LibraryFilter::LibraryFilter(QObject *parent) : QAbstractProxyModel(parent)
{
    pendingRefresh_.setSingleShot(true);
    pendingRefresh_.setInterval(kRefreshMs);
    connect(&pendingRefresh_, &QTimer::timeout, this, &LibraryFilter::refresh);
}

LibraryModel *LibraryFilter::library() const
{
    return static_cast<LibraryModel *>(sourceModel());
}

void LibraryFilter::setSourceModel(QAbstractItemModel *model)
{
    Q_ASSERT(qobject_cast<LibraryModel *>(model));
    if (sourceModel())
        disconnect(sourceModel(), nullptr, this, nullptr);
    beginResetModel();
    QAbstractProxyModel::setSourceModel(model);
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        pendingRefresh_.stop();
        ++generation_;
        sortsTaken_ = ++sortSerial_;
        beginResetModel();
        sorted_.clear();
        rows_.clear();
        positionOf_.clear();
    });
    connect(model, &QAbstractItemModel::modelReset, this, [this] {
        sortAll();
        filterAll();
        endResetModel();
    });
    connect(model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) { takeInsertedRows(first, last); });
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this, [this] {
        // The rows shown move as the source's go: the views keep what they
        // hold of the others (the choice, the place).
        Q_EMIT layoutAboutToBeChanged();
        removedBefore_ = persistentIndexList();
        removedSources_ = sourcesOf(removedBefore_);
    });
    connect(model, &QAbstractItemModel::rowsRemoved, this, [this](const QModelIndex &, int first, int last) {
        const int count = last - first + 1;
        ++generation_;
        const auto moved = [&](int row) { return row > last ? row - count : row < first ? row : -1; };
        for (int &source : removedSources_)
            source = source < 0 ? -1 : moved(source);
        std::vector<int> sorted;
        sorted.reserve(sorted_.size());
        for (const int row : sorted_)
            if (moved(row) >= 0)
                sorted.push_back(moved(row));
        sorted_ = std::move(sorted);
        filterAll();
        movePersistent(std::exchange(removedBefore_, {}), removedSources_);
        Q_EMIT layoutChanged();
    });
    connect(model, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex &, const QModelIndex &) {
        // Plays and favourites may change what the quick filters let through.
        if (favouritesOnly_ || recentOnly_ || sortColumn_ == LibraryModel::Played
            || sortColumn_ == LibraryModel::LastPlayed)
            refresh();
        else if (!rows_.empty())
            Q_EMIT dataChanged(index(0, 0), index(int(rows_.size()) - 1, LibraryModel::ColumnCount - 1));
    });
    sortAll();
    filterAll();
    endResetModel();
}

std::vector<int> LibraryFilter::sourcesOf(const QModelIndexList &shown) const
{
    std::vector<int> sources;
    sources.reserve(size_t(shown.size()));
    for (const QModelIndex &index : shown)
        sources.push_back(index.isValid() && size_t(index.row()) < rows_.size() ? rows_[size_t(index.row())] : -1);
    return sources;
}

void LibraryFilter::movePersistent(const QModelIndexList &before, const std::vector<int> &sources)
{
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        const int source = sources[size_t(i)];
        const int shown = source >= 0 && size_t(source) < positionOf_.size() ? positionOf_[size_t(source)] : -1;
        after.append(shown < 0 ? QModelIndex() : index(shown, before.at(i).column()));
    }
    changePersistentIndexList(before, after);
}

void LibraryFilter::changeLayout(const std::function<void()> &change)
{
    Q_EMIT layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    const std::vector<int> sources = sourcesOf(before);
    change();
    movePersistent(before, sources);
    Q_EMIT layoutChanged();
}

void LibraryFilter::setText(const QString &text)
{
    text_ = text;
    foldedText_ = foldedKey(text.trimmed());
    refilter();
}

void LibraryFilter::setSystem(SystemFilter system)
{
    system_ = system;
    refilter();
}

void LibraryFilter::setVerifiedOnly(bool on)
{
    verifiedOnly_ = on;
    refilter();
}

void LibraryFilter::setFavouritesOnly(bool on)
{
    favouritesOnly_ = on;
    refilter();
}

void LibraryFilter::setRecentOnly(bool on)
{
    recentOnly_ = on;
    refilter();
}

void LibraryFilter::sort(int column, Qt::SortOrder order)
{
    sortColumn_ = qBound(0, column, LibraryModel::ColumnCount - 1);
    sortOrder_ = order;
    refresh();
}

bool LibraryFilter::accepts(int row, const QDateTime &recentSince) const
{
    const LibraryModel &model = *library();
    const LibraryRow &game = model.row(row);
    if ((system_ == SystemFilter::GameBoy && game.colour()) || (system_ == SystemFilter::Colour && !game.colour()))
        return false;
    if (verifiedOnly_ && !game.verified())
        return false;
    if (favouritesOnly_ && !model.isFavourite(row))
        return false;
    if (recentOnly_ && !(model.play(row).last >= recentSince))
        return false;
    switch (collection_) {
    case Collection::Duplicates:
        if (model.copies(row) < 2)
            return false;
        break;
    case Collection::OnePerGame:
        if (size_t(row) >= chosenOfGame_.size() || !chosenOfGame_[size_t(row)])
            return false;
        break;
    case Collection::WithSaves:
        if (!model.hasSave(row))
            return false;
        break;
    case Collection::All:
        break;
    }
    return foldedText_.isEmpty() || game.filterKey().contains(foldedText_);
}

bool LibrarySortKeys::less(int a, int b) const
{
    const auto byName = [&] { return nameOf(a).compare(nameOf(b)) < 0; };
    switch (column) {
    case LibraryModel::Region:
    case LibraryModel::Emulator: {
        const QString &x = texts[size_t(a)], &y = texts[size_t(b)];
        return x != y ? x.compare(y, Qt::CaseInsensitive) < 0 : byName();
    }
    case LibraryModel::Folder:
    case LibraryModel::File: {
        const QString &x = texts[size_t(a)], &y = texts[size_t(b)];
        return x != y ? x < y : byName();
    }
    default:
        if (!numbers.empty() && numbers[size_t(a)] != numbers[size_t(b)])
            return numbers[size_t(a)] < numbers[size_t(b)];
        return byName();
    }
}

LibrarySortKeys LibraryFilter::sortKeys() const
{
    // Copies that share their data with the model's: taken in a moment,
    // and sorted on another thread while the model goes on.
    const LibraryModel &model = *library();
    const int total = totalCount();
    LibrarySortKeys keys;
    keys.column = sortColumn_;
    keys.names.reserve(size_t(total));
    keys.nameAt.reserve(size_t(total));
    for (int row = 0; row < total; ++row) {
        const LibraryRow &game = model.row(row);
        keys.names.push_back(game.block());
        keys.nameAt.push_back({quint32(game.sortKeyAt()), game.sortKeyLength()});
    }
    const auto numbers = [&](const std::function<qint64(int)> &of) {
        keys.numbers.reserve(size_t(total));
        for (int row = 0; row < total; ++row)
            keys.numbers.push_back(of(row));
    };
    switch (sortColumn_) {
    case LibraryModel::System:
        numbers([&](int row) { return qint64(model.row(row).colour()); });
        break;
    case LibraryModel::Size:
        numbers([&](int row) { return model.row(row).size(); });
        break;
    case LibraryModel::Verified:
        numbers([&](int row) { return qint64(model.row(row).verified()); });
        break;
    case LibraryModel::Played:
        numbers([&](int row) { return model.play(row).count; });
        break;
    case LibraryModel::LastPlayed:
        numbers([&](int row) {
            const QDateTime last = model.play(row).last;
            return last.isValid() ? last.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min();
        });
        break;
    case LibraryModel::Copies:
        numbers([&](int row) { return qint64(model.copies(row)); });
        break;
    case LibraryModel::PlayTime:
        numbers([&](int row) { return model.play(row).seconds; });
        break;
    case LibraryModel::Save:
        numbers([&](int row) {
            const QList<SaveFile> saves = model.savesOf(row);
            return saves.isEmpty() ? std::numeric_limits<qint64>::min() : saves.constFirst().modified.toSecsSinceEpoch();
        });
        break;
    case LibraryModel::Emulator:
        keys.texts.reserve(size_t(total));
        for (int row = 0; row < total; ++row)
            keys.texts.push_back(LibraryModel::emulatorName(model.emulatorOf(row)));
        break;
    case LibraryModel::Region:
    case LibraryModel::Folder:
    case LibraryModel::File:
        keys.texts.reserve(size_t(total));
        for (int row = 0; row < total; ++row)
            keys.texts.push_back(sortColumn_ == LibraryModel::Region ? model.row(row).region() : model.row(row).path());
        break;
    default:
        break;
    }
    return keys;
}

std::vector<int> LibrarySortKeys::sorted(Qt::SortOrder order) const
{
    std::vector<int> rows(names.size());
    for (size_t row = 0; row < rows.size(); ++row)
        rows[row] = int(row);
    std::stable_sort(rows.begin(), rows.end(), [this](int a, int b) { return less(a, b); });
    if (order == Qt::DescendingOrder)
        std::reverse(rows.begin(), rows.end());
    return rows;
}

void LibraryFilter::takeInsertedRows(int first, int last)
{
    constexpr int kFewRows = 2000;
    const int count = last - first + 1;
    if (pendingRefresh_.isActive() || size_t(first) != sorted_.size() || count > kFewRows
        || count * 20 > totalCount()) {
        if (!pendingRefresh_.isActive())
            pendingRefresh_.start();
        return;
    }
    changeLayout([&] { placeRows(sortKeys(), first, last); });
}

void LibraryFilter::placeRows(const LibrarySortKeys &keys, int first, int last)
{
    const bool descending = sortOrder_ == Qt::DescendingOrder;
    for (int row = first; row <= last; ++row) {
        const auto place = descending
            ? std::upper_bound(sorted_.begin(), sorted_.end(), row, [&](int a, int b) { return keys.less(b, a); })
            : std::upper_bound(sorted_.begin(), sorted_.end(), row, [&](int a, int b) { return keys.less(a, b); });
        sorted_.insert(place, row);
    }
    filterAll();
}

void LibraryFilter::sortAll()
{
    sorted_ = sortKeys().sorted(sortOrder_);
}

void LibraryFilter::setCollection(Collection collection)
{
    collection_ = collection;
    refilter();
}

void LibraryFilter::setRegionOrder(const QStringList &regions)
{
    regionOrder_ = regions;
    if (collection_ == Collection::OnePerGame)
        refilter();
}

void LibraryFilter::filterAll()
{
    rows_.clear();
    chosenOfGame_.clear();
    if (collection_ == Collection::OnePerGame && library()) {
        chosenOfGame_.assign(size_t(totalCount()), false);
        for (const int row : library()->onePerGameRows(regionOrder_))
            chosenOfGame_[size_t(row)] = true;
    }
    const QDateTime recentSince = QDateTime::currentDateTimeUtc().addDays(-kRecentDays);
    for (const int row : sorted_)
        if (accepts(row, recentSince))
            rows_.push_back(row);
    positionOf_.assign(sorted_.size(), -1);
    for (size_t shown = 0; shown < rows_.size(); ++shown)
        positionOf_[size_t(rows_[shown])] = int(shown);
}

void LibraryFilter::refresh()
{
    pendingRefresh_.stop();
    const quint64 serial = ++sortSerial_;
    if (!catalogue_ || totalCount() <= kSortInPlace) {
        sortsTaken_ = serial;
        changeLayout([this] {
            sortAll();
            filterAll();
        });
        return;
    }
    // 100,000 games sort in tens of ms: on the executor, the rows shown
    // keeping their order meanwhile.
    const int total = totalCount();
    const quint64 generation = generation_;
    const Qt::SortOrder order = sortOrder_;
    catalogue_->runThenHandBack(
        this, [keys = sortKeys(), order] { return keys.sorted(order); },
        [this, serial, generation, total](const std::vector<int> &sorted) {
            if (serial != sortSerial_)
                return;  // asked again meanwhile
            if (generation != generation_ || totalCount() < total) {
                refresh();  // rows went meanwhile: the order names others
                return;
            }
            sortsTaken_ = serial;
            changeLayout([&] {
                sorted_ = sorted;
                if (totalCount() > total)
                    placeRows(sortKeys(), total, totalCount() - 1);  // came meanwhile
                else
                    filterAll();
            });
        });
}

void LibraryFilter::refilter()
{
    changeLayout([this] { filterAll(); });
}

int LibraryFilter::totalCount() const
{
    return sourceModel() ? sourceModel()->rowCount() : 0;
}

QModelIndex LibraryFilter::index(int row, int column, const QModelIndex &parent) const
{
    if (parent.isValid() || row < 0 || row >= int(rows_.size()) || column < 0 || column >= LibraryModel::ColumnCount)
        return QModelIndex();
    return createIndex(row, column);
}

int LibraryFilter::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int LibraryFilter::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : LibraryModel::ColumnCount;
}

QModelIndex LibraryFilter::mapToSource(const QModelIndex &proxyIndex) const
{
    if (!proxyIndex.isValid() || proxyIndex.row() >= int(rows_.size()) || !sourceModel())
        return QModelIndex();
    return sourceModel()->index(rows_[size_t(proxyIndex.row())], proxyIndex.column());
}

QModelIndex LibraryFilter::mapFromSource(const QModelIndex &sourceIndex) const
{
    if (!sourceIndex.isValid() || size_t(sourceIndex.row()) >= positionOf_.size())
        return QModelIndex();
    const int shown = positionOf_[size_t(sourceIndex.row())];
    return shown < 0 ? QModelIndex() : index(shown, sourceIndex.column());
}

}  // namespace vantorix
