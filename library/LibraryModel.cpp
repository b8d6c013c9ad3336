#include "library/LibraryModel.h"

#include "platform/FilePath.h"
#include "platform/ShownText.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>

namespace vantorix {

namespace {

QString fileNameOf(const QString &path)
{
    return displayPath(baseName(path));
}

QString folderOf(const QString &path)
{
    return displayPath(path.left(path.lastIndexOf(QLatin1Char('/'))));
}

}  // namespace

LibraryModel::LibraryModel(QObject *parent) : QAbstractTableModel(parent) {}

int LibraryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(games_.size());
}

int LibraryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QByteArray LibraryModel::naturalKey(const QString &text)
{
    const QString folded = text.toCaseFolded();
    QString key;
    key.reserve(folded.size() + 16);
    for (qsizetype i = 0; i < folded.size();) {
        if (!folded.at(i).isDigit()) {
            key += folded.at(i++);
            continue;
        }
        qsizetype end = i;
        while (end < folded.size() && folded.at(end).isDigit())
            ++end;
        // Numbers compare by value: padded to one width.
        const QStringView digits = QStringView(folded).mid(i, end - i);
        if (digits.size() < 10)
            key += QString(10 - digits.size(), QLatin1Char('0'));
        key += digits;
        i = end;
    }
    return key.toUtf8();
}

QByteArray LibraryModel::foldedKey(const QString &text)
{
    return text.toCaseFolded().toUtf8();
}

void LibraryModel::prepare(LibraryGame &game)
{
    if (game.sortKey.isEmpty())
        game.sortKey = naturalKey(game.name);
    if (game.filterKey.isEmpty())
        game.filterKey = foldedKey(game.name + QLatin1Char('\t') + displayPath(baseName(game.path)));
}

QVariant LibraryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return QVariant();
    const LibraryGame &game = games_[size_t(index.row())];
    switch (role) {
    case PathRole:
        return game.path;
    case FavouriteRole:
        return store_.favourites.contains(game.path);
    case ColourRole:
        return game.colour;
    case Qt::TextAlignmentRole:
        return index.column() == Size || index.column() == Played ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                                  : QVariant();
    case Qt::DisplayRole:
        break;
    default:
        return QVariant();
    }
    const QLocale locale;
    switch (index.column()) {
    case Name:
        // A name from a file or a database: shown as it is, made safe.
        return (store_.favourites.contains(game.path) ? QStringLiteral("\u2605 ") : QString())
               + withoutControlCharacters(game.name);
    case System:
        return game.system();
    case Region:
        return game.region;
    case Size:
        return locale.toString(game.size);
    case Verified:
        return game.verified ? QCoreApplication::translate("LibraryModel", "yes") : QCoreApplication::translate("LibraryModel", "no");
    case Played: {
        const int count = store_.plays.value(game.path).count;
        return count > 0 ? locale.toString(count) : QString();
    }
    case LastPlayed: {
        const QDateTime last = store_.plays.value(game.path).last;
        return last.isValid() ? locale.toString(last.toLocalTime(), QLocale::ShortFormat) : QString();
    }
    case Folder:
        return withoutControlCharacters(folderOf(game.path));
    case File:
        return withoutControlCharacters(fileNameOf(game.path));
    default:
        return QVariant();
    }
}

QVariant LibraryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Name: return QCoreApplication::translate("LibraryModel", "Name");
    case System: return QCoreApplication::translate("LibraryModel", "System");
    case Region: return QCoreApplication::translate("LibraryModel", "Region");
    case Size: return QCoreApplication::translate("LibraryModel", "Size");
    case Verified: return QCoreApplication::translate("LibraryModel", "Verified");
    case Played: return QCoreApplication::translate("LibraryModel", "Played");
    case LastPlayed: return QCoreApplication::translate("LibraryModel", "Last played");
    case Folder: return QCoreApplication::translate("LibraryModel", "Folder");
    case File: return QCoreApplication::translate("LibraryModel", "File");
    default: return QVariant();
    }
}

void LibraryModel::setGames(std::vector<LibraryGame> games)
{
    beginResetModel();
    games_.assign(std::make_move_iterator(games.begin()), std::make_move_iterator(games.end()));
    for (LibraryGame &game : games_)
        prepare(game);
    endResetModel();
}

void LibraryModel::replaceFolders(const QStringList &folders, std::vector<LibraryGame> games)
{
    std::vector<LibraryGame> kept;
    kept.reserve(games_.size() + games.size());
    for (LibraryGame &game : games_)
        if (!folders.contains(game.folder))
            kept.push_back(std::move(game));
    // A file reached from another folder too stays listed once.
    QSet<std::pair<quint64, quint64>> seen;
    for (const LibraryGame &game : kept)
        seen.insert({quint64(game.identity.device), quint64(game.identity.inode)});
    for (LibraryGame &game : games)
        if (!seen.contains({quint64(game.identity.device), quint64(game.identity.inode)}))
            kept.push_back(std::move(game));
    setGames(std::move(kept));
}

void LibraryModel::updateFolders(const QStringList &folders, std::vector<LibraryGame> games)
{
    QSet<QString> fresh;
    fresh.reserve(qsizetype(games.size()));
    for (const LibraryGame &game : games)
        fresh.insert(game.path);
    QSet<QString> known;
    for (const LibraryGame &game : games_) {
        if (!folders.contains(game.folder))
            continue;
        if (!fresh.contains(game.path)) {
            replaceFolders(folders, std::move(games));  // games are gone
            return;
        }
        known.insert(game.path);
    }
    std::vector<LibraryGame> added;
    for (LibraryGame &game : games)
        if (!known.contains(game.path))
            added.push_back(std::move(game));
    appendGames(added);
}

void LibraryModel::appendGames(const std::vector<LibraryGame> &games)
{
    if (games.empty())
        return;
    beginInsertRows(QModelIndex(), rowCount(), rowCount() + int(games.size()) - 1);
    for (const LibraryGame &game : games) {
        games_.push_back(game);
        prepare(games_.back());
    }
    endInsertRows();
}

void LibraryModel::setStore(const LibraryStore &store)
{
    store_ = store;
    if (!games_.empty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

int LibraryModel::rowOf(const QString &path) const
{
    for (size_t row = 0; row < games_.size(); ++row)
        if (games_[row].path == path)
            return int(row);
    return -1;
}

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
    QAbstractProxyModel::setSourceModel(model);
    connect(model, &QAbstractItemModel::modelReset, this, &LibraryFilter::refresh);
    connect(model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) { takeInsertedRows(first, last); });
    connect(model, &QAbstractItemModel::rowsRemoved, this, &LibraryFilter::refresh);
    connect(model, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex &, const QModelIndex &) {
        // Plays and favourites may change what the quick filters let through.
        if (favouritesOnly_ || recentOnly_ || sortColumn_ == LibraryModel::Played
            || sortColumn_ == LibraryModel::LastPlayed)
            refresh();
        else if (!rows_.empty())
            Q_EMIT dataChanged(index(0, 0), index(int(rows_.size()) - 1, LibraryModel::ColumnCount - 1));
    });
    refresh();
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
        const int p = plays[size_t(a)].count, q = plays[size_t(b)].count;
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
    refilter();
}

void LibraryFilter::refresh()
{
    pendingRefresh_.stop();
    const int total = totalCount();
    const std::vector<PlayRecord> plays = playsForSort();
    const std::vector<QByteArrayView> names = sortNames();
    sorted_.resize(size_t(total));
    for (int row = 0; row < total; ++row)
        sorted_[size_t(row)] = row;
    std::stable_sort(sorted_.begin(), sorted_.end(), [&](int a, int b) { return lessThan(a, b, names, plays); });
    if (sortOrder_ == Qt::DescendingOrder)
        std::reverse(sorted_.begin(), sorted_.end());
    refilter();
}

void LibraryFilter::refilter()
{
    beginResetModel();
    rows_.clear();
    const QDateTime recentSince = QDateTime::currentDateTimeUtc().addDays(-kRecentDays);
    for (const int row : sorted_)
        if (accepts(row, recentSince))
            rows_.push_back(row);
    positionOf_.assign(sorted_.size(), -1);
    for (size_t shown = 0; shown < rows_.size(); ++shown)
        positionOf_[size_t(rows_[shown])] = int(shown);
    endResetModel();
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

namespace {

// A path's bytes as they are, but for the control characters that would
// forge a field or a line, written "?" as the scan writes them.
QByteArray lineSafe(QByteArray bytes)
{
    for (char &c : bytes)
        if (uchar(c) < 0x20 || uchar(c) == 0x7f)
            c = '?';
    return bytes;
}

}  // namespace

const QByteArray &libraryListHeader()
{
    static const QByteArray header = "name\tsystem\tregion\tsize\tcrc32\tverified\tplayed\tlast played\tpath\n";
    return header;
}

LibraryListLine libraryListLine(const LibraryGame &game, const LibraryStore &store)
{
    // A tab or line break in a name would forge a field or a line.
    const auto field = [](const QString &text) { return withoutControlCharacters(text).toUtf8(); };
    LibraryListLine line;
    line.path = encodePath(game.path);
    const PlayRecord play = store.plays.value(game.path);
    line.text = field(game.name) + '\t' + game.system().toLatin1() + '\t' + field(game.region) + '\t'
                + QByteArray::number(game.size) + '\t'
                + (game.hasCrc ? QByteArray::number(game.crc32, 16).rightJustified(8, '0') : QByteArray()) + '\t'
                + (game.verified ? "yes" : "no") + '\t' + QByteArray::number(play.count) + '\t'
                + (play.last.isValid() ? play.last.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")).toLatin1()
                                       : QByteArray())
                + '\t' + lineSafe(line.path) + '\n';
    return line;
}

QByteArray libraryListText(std::vector<LibraryListLine> lines)
{
    std::sort(lines.begin(), lines.end(),
              [](const LibraryListLine &a, const LibraryListLine &b) { return a.path < b.path; });
    QByteArray out = libraryListHeader();
    qsizetype size = out.size();
    for (const LibraryListLine &line : lines)
        size += line.text.size();
    out.reserve(size);
    for (const LibraryListLine &line : lines)
        out += line.text;
    return out;
}

}  // namespace vantorix
