#include "library/LibraryModel.h"

#include "platform/FilePath.h"
#include "platform/ShownText.h"

#include <QCoreApplication>
#include <QLocale>

#include <QSet>

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
    return parent.isValid() ? 0 : int(rows_.size());
}

int LibraryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant LibraryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return QVariant();
    const LibraryRow &game = rows_[size_t(index.row())];
    switch (role) {
    case PathRole:
        return game.path();
    case FavouriteRole:
        return isFavourite(index.row());
    case ColourRole:
        return game.colour();
    case Qt::TextAlignmentRole:
        return index.column() == Size || index.column() == Played || index.column() == Copies
                       || index.column() == PlayTime
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
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
        return (isFavourite(index.row()) ? QStringLiteral("\u2605 ") : QString())
               + withoutControlCharacters(game.name());
    case System:
        return game.colour() ? QStringLiteral("GBC") : QStringLiteral("GB");
    case Region:
        return game.region();
    case Size:
        return locale.toString(game.size());
    case Verified:
        return game.verified() ? QCoreApplication::translate("LibraryModel", "yes") : QCoreApplication::translate("LibraryModel", "no");
    case Played: {
        const qint64 count = play(index.row()).count;
        return count > 0 ? locale.toString(count) : QString();
    }
    case LastPlayed: {
        const QDateTime last = play(index.row()).last;
        return last.isValid() ? locale.toString(last.toLocalTime(), QLocale::ShortFormat) : QString();
    }
    case Folder:
        return withoutControlCharacters(folderOf(game.path()));
    case File:
        return withoutControlCharacters(fileNameOf(game.path()));
    case Copies: {
        const int count = copies(index.row());
        return count > 1 ? locale.toString(count) : QString();
    }
    case PlayTime:
        return playTimeText(play(index.row()).seconds);
    case Emulator:
        return withoutControlCharacters(emulatorName(emulatorOf(index.row())));
    case Save: {
        const auto found = saves_.constFind(game.pathForLookup());
        if (found == saves_.constEnd() || found->isEmpty())
            return QString();
        const SaveFile &save = found->constFirst();
        return locale.formattedDataSize(save.size, 0) + QStringLiteral(", ")
               + locale.toString(save.modified, QLocale::ShortFormat);
    }
    default:
        return QVariant();
    }
}

void LibraryModel::countCopies() const
{
    if (copiesCounted_)
        return;
    copiesCounted_ = true;
    // Counted into the rows: no table of 100,000 keys is kept.
    const CopyCounts counts = vantorix::countCopies(rows_, [](const LibraryRow &row) { return row.content(); });
    for (const LibraryRow &row : rows_) {
        const RomKey content = row.content();
        row.setCopies(content.isValid() ? counts.value({content.crc32, content.size}, 1) : 1);
    }
}

int LibraryModel::copies(int row) const
{
    countCopies();
    return rows_[size_t(row)].copies();
}

QStringList LibraryModel::otherCopies(int row) const
{
    QStringList others;
    const LibraryRow &game = rows_[size_t(row)];
    if (copies(row) < 2)
        return others;
    const RomKey content = game.content();
    for (const LibraryRow &each : rows_)
        if (&each != &game && each.content().isValid() && each.content() == content)
            others.append(each.path());
    return others;
}

QStringList LibraryModel::paths() const
{
    QStringList all;
    all.reserve(qsizetype(rows_.size()));
    for (const LibraryRow &game : rows_)
        all.append(game.path());
    return all;
}

void LibraryModel::setSaves(FoundSaves saves)
{
    saves_ = std::move(saves);
    if (!rows_.empty())
        Q_EMIT dataChanged(index(0, Save), index(rowCount() - 1, Save));
}

std::vector<int> LibraryModel::onePerGameRows(const QStringList &regionOrder) const
{
    std::vector<GameVariant> games;
    games.reserve(rows_.size());
    for (const LibraryRow &game : rows_)
        games.push_back({game.nameForLookup(), game.pathForLookup(), game.verified()});
    return onePerGame(games, regionOrder);
}

QString LibraryModel::playTimeText(qint64 seconds)
{
    if (seconds <= 0)
        return QString();
    const qint64 minutes = seconds / 60;
    if (minutes < 60)
        return QCoreApplication::translate("LibraryModel", "%1 min").arg(qMax<qint64>(minutes, 1));
    return QCoreApplication::translate("LibraryModel", "%1 h %2 min")
        .arg(minutes / 60)
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString LibraryModel::emulatorName(const QString &emulatorText)
{
    return emulatorText.isEmpty() ? QString() : emulatorLabel(emulatorText, SaveFile());
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
    case Copies: return QCoreApplication::translate("LibraryModel", "Copies");
    case PlayTime: return QCoreApplication::translate("LibraryModel", "Play time");
    case Emulator: return QCoreApplication::translate("LibraryModel", "Emulator");
    case Save: return QCoreApplication::translate("LibraryModel", "Save");
    default: return QVariant();
    }
}

void LibraryModel::setGames(std::vector<LibraryGame> games)
{
    copiesCounted_ = false;
    beginResetModel();
    rows_.clear();
    rows_.reserve(games.size());
    for (LibraryGame &game : games)
        rows_.emplace_back(std::move(game));
    endResetModel();
}

void LibraryModel::removeGames(const std::function<bool(const LibraryRow &)> &gone)
{
    // Contiguous runs of rows to remove, first to last.
    std::vector<std::pair<int, int>> runs;
    for (int row = 0; row < int(rows_.size()); ++row) {
        if (!gone(rows_[size_t(row)]))
            continue;
        if (!runs.empty() && runs.back().second == row - 1)
            runs.back().second = row;
        else
            runs.push_back({row, row});
    }
    if (runs.empty())
        return;
    copiesCounted_ = false;
    constexpr size_t kMostRuns = 64;
    if (runs.size() > kMostRuns) {
        // Scattered all over: one new list rather than many moves of it.
        beginResetModel();
        std::vector<LibraryRow> kept;
        kept.reserve(rows_.size());
        for (LibraryRow &game : rows_)
            if (!gone(game))
                kept.push_back(std::move(game));
        rows_ = std::move(kept);
        endResetModel();
        return;
    }
    for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
        beginRemoveRows(QModelIndex(), run->first, run->second);
        rows_.erase(rows_.begin() + run->first, rows_.begin() + run->second + 1);
        endRemoveRows();
    }
}

void LibraryModel::removeFolder(const QString &folder)
{
    removeGames([&](const LibraryRow &game) { return game.folder() == folder; });
}

std::vector<LibraryListed> LibraryModel::listed() const
{
    std::vector<LibraryListed> rows;
    rows.reserve(rows_.size());
    for (const LibraryRow &game : rows_)
        rows.push_back({game.path(), game.stamp()});
    return rows;
}

void LibraryModel::applyChange(const LibraryChange &change)
{
    if (!change.removed.isEmpty())
        removeGames([&](const LibraryRow &game) { return change.removed.contains(game.pathForLookup()); });
    appendGames(change.added);  // kept by the caller: copied
}

void LibraryModel::appendGames(const std::vector<LibraryGame> &games)
{
    if (games.empty())
        return;
    std::vector<LibraryRow> rows;
    rows.reserve(games.size());
    for (const LibraryGame &game : games)
        rows.emplace_back(game);
    appendRows(std::move(rows));
}

void LibraryModel::appendGames(std::vector<LibraryGame> &&games)
{
    // Moved in: 100,000 games are never held twice.
    if (games.empty())
        return;
    std::vector<LibraryRow> rows;
    rows.reserve(games.size());
    for (LibraryGame &game : games)
        rows.emplace_back(std::move(game));
    games.clear();
    appendRows(std::move(rows));
}

void LibraryModel::appendRows(std::vector<LibraryRow> &&rows)
{
    if (rows.empty())
        return;
    copiesCounted_ = false;
    beginInsertRows(QModelIndex(), rowCount(), rowCount() + int(rows.size()) - 1);
    rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    endInsertRows();
    rows.clear();
}

void LibraryModel::setStore(const LibraryStore &store)
{
    store_ = store;
    if (!rows_.empty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

int LibraryModel::rowOf(const QString &path) const
{
    for (size_t row = 0; row < rows_.size(); ++row)
        if (rows_[row].pathView() == path)
            return int(row);
    return -1;
}

}  // namespace vantorix
