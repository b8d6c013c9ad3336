#include "library/LibraryScan.h"
#include "reading/Catalogue.h"

#include "rom/GameListEntry.h"
#include "names/GameDatabase.h"
#include "reading/GameNaming.h"
#include "rom/HeadReader.h"
#include "rom/RomFolder.h"
#include "rom/RomHeader.h"
#include "reading/RomListing.h"
#include "platform/IoError.h"

#include <QDir>
#include <QHash>

#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <algorithm>
#include <optional>
#include <utility>

namespace vantorix {

namespace {

const QString kEveryRom = QStringLiteral("*.gb;*.gbc;*.cgb;*.sgb;*.zip;*.7z");
constexpr size_t kBatchGames = 2000;

// The game of one file read, or nothing when its head is too short.
std::optional<LibraryGame> gameOf(const HeadResult &read, const QString &path, const KnownGame *known)
{
    if (read.head.size() < kLeadBytes)
        return std::nullopt;
    const qint64 block = headerOffset(locateHeader(QByteArray::fromRawData(read.head.constData(), kLeadBytes), read.size));
    if (read.head.size() < block + kHeaderBlockSize)
        return std::nullopt;
    LibraryGame game;
    game.path = path;
    const uchar flag = uchar(read.head.at(block + 0x43));
    game.colour = flag == 0x80 || flag == 0xC0;
    game.size = read.key.isValid() ? read.key.size : read.size;
    game.hasCrc = read.key.isValid();
    game.crc32 = read.key.crc32;
    game.stamp = read.stamp;
    if (known) {
        game.name = known->name;
        game.verified = true;
    } else {
        char title[kTitleSize];
        const QByteArrayView shown = entryTitle(read.head, read.size, title);
        game.name = shown.isEmpty() ? namelessRomTitle(baseName(path)) : QString::fromLatin1(shown);
    }
    return game;
}

// Hands the games read so far to batch. Returns how many.
size_t handOver(std::vector<LibraryGame> &games, const LibraryBatch &batch)
{
    const size_t count = games.size();
    if (count > 0)
        batch(games);
    games.clear();
    return count;
}

// The real path of a game's folder, looked up once a folder: the games of
// a linked folder are keyed by where they really lie.
class RealFolders {
public:
    QString realPathOf(const QString &path)
    {
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        const QStringView folder = QStringView(path).left(qMax<qsizetype>(slash, 1));
        if (folder != folder_) {
            folder_ = folder.toString();
            char resolved[PATH_MAX];
            real_ = ::realpath(encodePath(folder_).constData(), resolved) ? decodePath(QByteArray(resolved)) : folder_;
            same_ = real_ == folder_;
            if (real_ == QLatin1String("/"))
                real_.clear();
        }
        return same_ ? QString() : real_ + path.mid(slash);
    }

private:
    QString folder_;
    QString real_;
    bool same_ = true;
};

bool isLink(const QString &path)
{
    struct stat st;
    return ::lstat(encodePath(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

}  // namespace

QString regionOfName(const QString &name)
{
    const qsizetype open = name.indexOf(QLatin1String(" ("));
    const qsizetype close = name.indexOf(QLatin1Char(')'), open);
    return open < 0 || close < 0 ? QString() : name.mid(open + 2, close - open - 2);
}

QString LibraryGame::region() const
{
    return verified ? regionOfName(name) : QString();
}

bool LibraryPlace::holds(const QString &path) const
{
    if (path.size() <= directory.size() || !path.startsWith(directory) || path.at(directory.size()) != QLatin1Char('/'))
        return false;
    return subfolders || path.indexOf(QLatin1Char('/'), directory.size() + 1) < 0;
}

std::vector<LibraryGame> scanLibrary(const QStringList &folders, Catalogue &catalogue, QStringList *problems,
                                     const LibraryBatch &batch,
                                     const std::atomic<bool> *cancelled, int cacheWaitMs)
{
    std::vector<LibraryPlace> places;
    for (const QString &folder : folders)
        places.push_back({folder, folder, true});
    return scanLibraryPlaces(places, catalogue, problems, batch, cancelled, cacheWaitMs);
}

std::vector<LibraryGame> scanLibraryPlaces(const std::vector<LibraryPlace> &places, Catalogue &catalogue,
                                           QStringList *problems,
                                           const LibraryBatch &batch,
                                           const std::atomic<bool> *cancelled, int cacheWaitMs,
                                           const QHash<QString, FileStamp> *known, QStringList *unchanged)
{
    // The games read and not yet handed to batch: games[i] is the
    // (told + i)th game found.
    std::vector<LibraryGame> games;
    QHash<std::pair<quint64, quint64>, size_t> seen;  // identity -> which game found
    size_t told = 0;  // games handed to batch so far
    const auto stop = [cancelled] { return cancelled && cancelled->load(); };
    RealFolders realFolders;
    for (const LibraryPlace &place : places) {
        if (stop())
            break;
        const QString &folder = place.directory;
        try {
            const RomFolder dir(folder);
            ListingScope scope;
            scope.subfolders = place.subfolders;
            scope.asShown = false;
            RomListing listing = listRoms(dir, kEveryRom, scope);
            for (const auto &[path, reason] : listing.skipped)
                problems->append(folder + QLatin1Char('/') + path + QStringLiteral(": ") + reason);
            const QString base = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
            if (known && unchanged && !known->isEmpty()) {
                // A stat is cheap beside a read of the head (and an archive's
                // walk to its ROM): the files as they were are left out.
                std::vector<QByteArray> changed;
                for (QByteArray &name : listing.paths) {
                    const QString path = base + decodePath(name);
                    const auto before = known->constFind(path);
                    struct stat st;
                    if (before != known->constEnd() && ::fstatat(dir.fd(), name.constData(), &st, 0) == 0
                        && FileStamp::of(st) == *before)
                        unchanged->append(path);
                    else
                        changed.push_back(std::move(name));
                }
                listing.paths = std::move(changed);
            }
            GameNaming naming(catalogue, dir.fd(), cacheWaitMs);
            HeadReader reader(dir.fd(), listing.paths, &catalogue.executor(), HeadReader::defaultThreads(),
                              naming.knownKeys());
            if (!batch)
                games.reserve(games.size() + listing.paths.size());
            seen.reserve(seen.size() + qsizetype(listing.paths.size()));
            for (size_t k = 0; k < listing.paths.size() && !stop(); ++k) {
                const HeadResult read = reader.take(k);
                QString path;
                path.reserve(base.size() + listing.paths[k].size());
                path += base;
                if (isAscii(listing.paths[k]))  // most names: no decoded copy on the way
                    path += QLatin1StringView(listing.paths[k]);
                else
                    path += decodePath(listing.paths[k]);
                if (read.error) {
                    problems->append(path + QStringLiteral(": ") + read.error->text());
                    continue;
                }
                if (!read.regular)
                    continue;
                // The same file through another folder or a link: once,
                // by the path that is no link where there is one.
                const std::pair<quint64, quint64> identity{read.stamp.device, read.stamp.inode};
                const auto found = seen.constFind(identity);
                if (found != seen.constEnd()) {
                    // (A game handed over already keeps the path it had.)
                    if (*found >= told) {
                        LibraryGame &kept = games[*found - told];
                        if (isLink(kept.path) && !isLink(path)) {
                            kept.path = path;
                            kept.folder = place.libraryFolder;
                            kept.realPath = realFolders.realPathOf(path);
                        }
                    }
                    continue;
                }
                seen.insert(identity, told + games.size());
                const KnownGame *known = naming.gameOf(read);
                std::optional<LibraryGame> game = gameOf(read, path, known);
                if (!game) {
                    problems->append(path + QStringLiteral(": ") + IoError::readBeyondEnd(read.size).text());
                    continue;
                }
                game->folder = place.libraryFolder;
                game->realPath = realFolders.realPathOf(path);
                games.push_back(std::move(*game));
                if (batch && games.size() >= kBatchGames)
                    told += handOver(games, batch);
            }
            naming.rememberKeys();
        } catch (const IoError &error) {
            // A subfolder that went meanwhile simply holds no games now.
            if (error.code() != IoError::FileNotFound || place.directory == place.libraryFolder)
                problems->append(folder + QStringLiteral(": ") + error.text());
        }
    }
    if (!batch)
        return games;
    handOver(games, batch);
    return {};
}

std::optional<LibraryGame> readLibraryGame(const QString &path, Catalogue &catalogue, int cacheWaitMs)
{
    const QString absolute = QDir::cleanPath(absolutePath(path));
    const qsizetype slash = absolute.lastIndexOf(QLatin1Char('/'));
    try {
        const RomFolder dir(slash == 0 ? QStringLiteral("/") : absolute.left(slash));
        const std::vector<QByteArray> names{encodePath(absolute.mid(slash + 1))};
        GameNaming naming(catalogue, dir.fd(), cacheWaitMs);
        HeadReader reader(dir.fd(), names, nullptr, 0, naming.knownKeys());
        const HeadResult read = reader.take(0);
        if (read.error || !read.regular)
            return std::nullopt;
        const KnownGame *known = naming.gameOf(read);
        // The cache keeps a folder's keys as a whole pass saw them: one
        // file's read leaves it as it is.
        return gameOf(read, absolute, known);
    } catch (const IoError &) {
        return std::nullopt;
    }
}

LibraryChange rescanPlaces(const std::vector<LibraryPlace> &places, const std::vector<LibraryListed> &rows,
                           Catalogue &catalogue, const std::atomic<bool> *cancelled)
{
    const auto inPlaces = [&](const QString &path) {
        return std::any_of(places.begin(), places.end(), [&](const LibraryPlace &place) { return place.holds(path); });
    };
    QHash<QString, FileStamp> known;
    QSet<std::pair<quint64, quint64>> elsewhere;  // files listed through another place
    for (const LibraryListed &row : rows) {
        if (inPlaces(row.path))
            known.insert(row.path, row.stamp);
        else
            elsewhere.insert({row.stamp.device, row.stamp.inode});
    }
    LibraryChange change;
    QStringList unchanged;
    std::vector<LibraryGame> games =
        scanLibraryPlaces(places, catalogue, &change.problems, {}, cancelled, 0, &known, &unchanged);
    for (const QString &path : std::as_const(unchanged))
        known.remove(path);
    for (auto it = known.cbegin(); it != known.cend(); ++it)
        change.removed.insert(it.key());  // gone, or read again
    for (LibraryGame &game : games)
        if (!elsewhere.contains({game.stamp.device, game.stamp.inode}))
            change.added.push_back(std::move(game));
    return change;
}

}  // namespace vantorix
