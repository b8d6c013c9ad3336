#include "library/LibraryFilter.h"

#include <algorithm>

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
    });
    connect(model, &QAbstractItemModel::rowsRemoved, this, [this](const QModelIndex &, int first, int last) {
        const int count = last - first + 1;
        const auto moved = [&](int row) { return row > last ? row - count : row < first ? row : -1; };
        std::vector<int> sources;
        for (const QModelIndex &index : std::as_const(removedBefore_))
            sources.push_back(index.isValid() && size_t(index.row()) < rows_.size() ? moved(rows_[size_t(index.row())])
                                                                                    : -1);
        std::vector<int> sorted;
        sorted.reserve(sorted_.size());
        for (const int row : sorted_)
            if (moved(row) >= 0)
                sorted.push_back(moved(row));
        sorted_ = std::move(sorted);
        filterAll();
        QModelIndexList after;
        for (qsizetype i = 0; i < removedBefore_.size(); ++i)
            after.append(sources[size_t(i)] < 0 ? QModelIndex()
                                                : index(positionOf_[size_t(sources[size_t(i)])],
                                                        removedBefore_.at(i).column()));
        changePersistentIndexList(removedBefore_, after);
        removedBefore_.clear();
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

void LibraryFilter::changeLayout(const std::function<void()> &change)
{
    Q_EMIT layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    std::vector<int> sources;
    sources.reserve(size_t(before.size()));
    for (const QModelIndex &index : before)
        sources.push_back(index.isValid() && size_t(index.row()) < rows_.size() ? rows_[size_t(index.row())] : -1);
    change();
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        const int source = sources[size_t(i)];
        const int shown = source >= 0 && size_t(source) < positionOf_.size() ? positionOf_[size_t(source)] : -1;
        after.append(shown < 0 ? QModelIndex() : index(shown, before.at(i).column()));
    }
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged();
}

void LibraryFilter::setText(const QString &text)
{
    text_ = text;
    foldedText_ = LibraryModel::foldedKey(text.trimmed());
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
    const LibraryGame &game = model.game(row);
    if ((system_ == SystemFilter::GameBoy && game.colour) || (system_ == SystemFilter::Colour && !game.colour))
        return false;
    if (verifiedOnly_ && !game.verified)
        return false;
    if (favouritesOnly_ && !model.isFavourite(row))
        return false;
    if (recentOnly_ && !(model.play(row).last >= recentSince))
        return false;
    return foldedText_.isEmpty() || game.filterKey.contains(foldedText_);
}

bool LibraryFilter::lessThan(int a, int b, const std::vector<QByteArrayView> &names,
                             const std::vector<PlayRecord> &plays) const
{
    const auto byName = [&] { return names[size_t(a)].compare(names[size_t(b)]) < 0; };
    if (sortColumn_ == LibraryModel::Name)
        return byName();
    const LibraryModel &model = *library();
    const LibraryGame &x = model.game(a);
    const LibraryGame &y = model.game(b);
    switch (sortColumn_) {
    case LibraryModel::System:
        return x.colour != y.colour ? y.colour : byName();
    case LibraryModel::Region:
        return x.region != y.region ? x.region.compare(y.region, Qt::CaseInsensitive) < 0 : byName();
    case LibraryModel::Size:
        return x.size != y.size ? x.size < y.size : byName();
    case LibraryModel::Verified:
        return x.verified != y.verified ? y.verified : byName();
    case LibraryModel::Played: {
        const qint64 p = plays[size_t(a)].count, q = plays[size_t(b)].count;
        return p != q ? p < q : byName();
    }
    case LibraryModel::LastPlayed: {
        const QDateTime &p = plays[size_t(a)].last, &q = plays[size_t(b)].last;
        return p != q ? p < q : byName();
    }
    case LibraryModel::Folder:
    case LibraryModel::File:
        return x.path != y.path ? x.path < y.path : byName();
    default:
        return byName();
    }
}

std::vector<QByteArrayView> LibraryFilter::sortNames() const
{
    std::vector<QByteArrayView> names;
    names.reserve(size_t(totalCount()));
    for (int row = 0; row < totalCount(); ++row)
        names.push_back(library()->sortName(row));
    return names;
}

std::vector<PlayRecord> LibraryFilter::playsForSort() const
{
    // The plays looked up once a game, not once a comparison.
    std::vector<PlayRecord> plays;
    if (sortColumn_ == LibraryModel::Played || sortColumn_ == LibraryModel::LastPlayed) {
        const int total = totalCount();
        plays.reserve(size_t(total));
        for (int row = 0; row < total; ++row)
            plays.push_back(library()->play(row));
    }
    return plays;
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
    changeLayout([&] {
        const std::vector<PlayRecord> plays = playsForSort();
        const std::vector<QByteArrayView> names = sortNames();
        const bool descending = sortOrder_ == Qt::DescendingOrder;
        for (int row = first; row <= last; ++row) {
            const auto place = descending
                ? std::upper_bound(sorted_.begin(), sorted_.end(), row,
                                   [&](int a, int b) { return lessThan(b, a, names, plays); })
                : std::upper_bound(sorted_.begin(), sorted_.end(), row,
                                   [&](int a, int b) { return lessThan(a, b, names, plays); });
            sorted_.insert(place, row);
        }
        filterAll();
    });
}

void LibraryFilter::sortAll()
{
    const int total = totalCount();
    const std::vector<PlayRecord> plays = playsForSort();
    const std::vector<QByteArrayView> names = sortNames();
    sorted_.resize(size_t(total));
    for (int row = 0; row < total; ++row)
        sorted_[size_t(row)] = row;
    std::stable_sort(sorted_.begin(), sorted_.end(), [&](int a, int b) { return lessThan(a, b, names, plays); });
    if (sortOrder_ == Qt::DescendingOrder)
        std::reverse(sorted_.begin(), sorted_.end());
}

void LibraryFilter::filterAll()
{
    rows_.clear();
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
    changeLayout([this] {
        sortAll();
        filterAll();
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
