#include "library/LibraryStore.h"

#include "settings/ConfigurationFile.h"
#include "platform/FilePath.h"
#include "platform/IoError.h"
#include "platform/WholeFile.h"

#include <QCoreApplication>
#include <QDir>

#include <cerrno>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <functional>
#include <limits>
#include <optional>

#include <sys/stat.h>

namespace vantorix {

namespace {

const QByteArray kHeaderPrefix = "# Vantorix library ";
constexpr qint64 kMaxStoreBytes = qint64(64) << 20;

QByteArray headerLine()
{
    return kHeaderPrefix + QByteArray::number(LibraryStore::kVersion);
}

IoError notAStore()
{
    return IoError(IoError::NotLibraryStore, QCoreApplication::translate("IoError", "Not a library store"));
}

IoError linkToOther()
{
    return IoError(IoError::NotLibraryStore,
                   QCoreApplication::translate("IoError", "A link to a file that is not a library store"));
}

IoError newerStore()
{
    return IoError(IoError::NewerLibraryStore,
                   QCoreApplication::translate(
                       "IoError", "Written by a newer version of Vantorix: this version reads it but never changes it"));
}

// Bytes that would break a record: the separators and the escape itself.
QByteArray encodeField(const QString &path)
{
    return encodePath(path).toPercentEncoding("/ ()[]&',;!@+=~#$");
}

QString decodeField(const QByteArray &field)
{
    return decodePath(QByteArray::fromPercentEncoding(field));
}

// The fields after the first count, as they were ("\tx\ty"), or empty.
QByteArray extraFields(const QList<QByteArray> &fields, qsizetype known)
{
    QByteArray extra;
    for (qsizetype i = known; i < fields.size(); ++i)
        extra += '\t' + fields.at(i);
    return extra;
}

qint64 addCounts(qint64 a, qint64 b)
{
    return a > std::numeric_limits<qint64>::max() - b ? std::numeric_limits<qint64>::max() : a + b;
}

void mergeInto(PlayRecord &into, const PlayRecord &from)
{
    into.count = addCounts(into.count, from.count);
    into.seconds = addCounts(into.seconds, from.seconds);
    if (!into.last.isValid() || (from.last.isValid() && from.last > into.last))
        into.last = from.last;
    if (into.extra.isEmpty())
        into.extra = from.extra;
}

void mergeInto(GameHistory &into, const GameHistory &from)
{
    const bool later = from.play.last.isValid() && (!into.play.last.isValid() || from.play.last > into.play.last);
    mergeInto(into.play, from.play);
    into.favourite = into.favourite || from.favourite;
    if (into.emulator.isEmpty() || (later && !from.emulator.isEmpty()))
        into.emulator = from.emulator;
    if (into.lastPath.isEmpty() || (later && !from.lastPath.isEmpty()))
        into.lastPath = from.lastPath;
    if (into.extra.isEmpty())
        into.extra = from.extra;
}

std::pair<quint32, qint64> contentKey(const RomKey &key)
{
    return {key.crc32, key.size};
}

// "0a1b2c3d:32768": the CRC32 and the size of the ROM itself.
QByteArray contentField(const RomKey &key)
{
    return QByteArray::number(key.crc32, 16).rightJustified(8, '0') + ':' + QByteArray::number(key.size);
}

RomKey contentOfField(const QByteArray &field)
{
    const qsizetype colon = field.indexOf(':');
    if (colon != 8)
        return {};
    bool crcRead = false, sizeRead = false;
    const quint32 crc = field.left(8).toUInt(&crcRead, 16);
    const qint64 size = field.mid(9).toLongLong(&sizeRead);
    if (!crcRead || !sizeRead || size < 0 || contentField({crc, size}) != field)
        return {};
    return {crc, size};
}

QByteArray encodeText(const QString &text)
{
    return text.toUtf8().toPercentEncoding("/ ()[]&',;!@+=~#$:-\"");
}

// Whether fields after the known ones would be read back as the time
// played: then the time is written before them, even when it is none.
bool extraReadsAsTime(const QByteArray &extra)
{
    if (extra.isEmpty())
        return false;
    const qsizetype end = extra.indexOf('\t', 1);
    bool number = false;
    const qint64 value = extra.mid(1, end < 0 ? -1 : end - 1).toLongLong(&number);
    return number && value >= 0;
}

// The bytes of the store at path, nothing when there is none. A link is
// followed only to a store of ours. Throws IoError.
std::optional<QByteArray> storeBytes(const QString &path)
{
    const QByteArray name = encodePath(path);
    struct stat st;
    if (::lstat(name.constData(), &st) != 0) {
        if (errno == ENOENT)
            return std::nullopt;
        throw IoError::fromErrno(errno);
    }
    const bool link = S_ISLNK(st.st_mode);
    if (link && ::stat(name.constData(), &st) != 0)
        throw linkToOther();  // leads nowhere, or round in a loop
    QByteArray bytes = readWholeFile(path, kMaxStoreBytes);
    if (link && !bytes.startsWith(kHeaderPrefix))
        throw linkToOther();
    return bytes;
}

void change(const QString &path, const std::function<void(LibraryStore &)> &edit, int lockWaitMs,
            const ContentOf &contentOf = {})
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash > 0)
        makeFolders(path.left(slash));
    const ConfigurationLock lock(path, lockWaitMs);
    LibraryStore store = LibraryStore::readForChange(path);
    store.mergeSpellings();
    store.carryOver(contentOf);
    edit(store);
    // A link here leads to a store (readForChange made sure): the store is
    // changed where it lies, atomically in its own folder.
    writeFileAtomically(path, store.serialize(), LinkAtPath::SaveThrough);
}

}  // namespace

QString LibraryStore::defaultPath()
{
    return userDataHome() + QStringLiteral("/vantorix/library.txt");
}

LibraryStore LibraryStore::read(const QString &path)
{
    std::optional<QByteArray> bytes;
    try {
        bytes = storeBytes(path);
    } catch (const IoError &error) {
        LibraryStore store;
        store.problem = error.text();
        return store;
    }
    if (!bytes)
        return LibraryStore();
    try {
        LibraryStore store = parse(*bytes);
        if (store.version > kVersion)
            store.problem = newerStore().text();
        return store;
    } catch (const IoError &error) {
        LibraryStore store;
        store.problem = error.text();
        return store;
    }
}

LibraryStore LibraryStore::readForChange(const QString &path)
{
    const std::optional<QByteArray> bytes = storeBytes(path);
    if (!bytes)
        return LibraryStore();
    LibraryStore store = parse(*bytes);
    if (store.version > kVersion)
        throw newerStore();
    return store;
}

QByteArray LibraryStore::serialize() const
{
    QByteArray out;
    // A line is read with one CR before its LF taken off (a store edited
    // elsewhere): one that ends in CR itself keeps it through a second.
    const auto line = [&out](const QByteArray &text) {
        out += text;
        if (text.endsWith('\r'))
            out += '\r';
        out += '\n';
    };
    line(headerLine());
    for (const QString &folder : folders)
        line("folder\t" + encodeField(folder) + folderExtra.value(folder));
    QStringList played = plays.keys();
    played.sort();
    for (const QString &game : played) {
        const PlayRecord &record = plays.value(game);
        // The time played only where there is some: a store without it reads
        // as it did.
        line("played\t" + encodeField(game) + '\t' + QByteArray::number(record.count) + '\t'
             + QByteArray::number(record.last.isValid() ? record.last.toSecsSinceEpoch() : 0)
             + (record.seconds > 0 || extraReadsAsTime(record.extra) ? '\t' + QByteArray::number(record.seconds)
                                                                     : QByteArray())
             + record.extra);
    }
    QList<std::pair<quint32, qint64>> contents = games.keys();
    std::sort(contents.begin(), contents.end());
    for (const auto &content : std::as_const(contents)) {
        const GameHistory &game = games.value(content);
        if (game.play.count == 0 && game.play.seconds == 0 && !game.favourite && game.emulator.isEmpty()
            && game.extra.isEmpty())
            continue;  // a favourite taken back, and nothing else kept
        line("game\t" + contentField(game.content) + '\t' + encodeField(game.lastPath) + '\t'
             + QByteArray::number(game.play.count) + '\t'
             + QByteArray::number(game.play.last.isValid() ? game.play.last.toSecsSinceEpoch() : 0) + '\t'
             + QByteArray::number(game.play.seconds) + (game.favourite ? "\t1\t" : "\t0\t")
             + encodeText(game.emulator) + game.extra);
    }
    QStringList liked(favourites.cbegin(), favourites.cend());
    liked.sort();
    for (const QString &game : liked)
        line("favourite\t" + encodeField(game) + favouriteExtra.value(game));
    for (const QByteArray &text : unknownLines)
        line(text);
    return out;
}

LibraryStore LibraryStore::parse(const QByteArray &bytes)
{
    LibraryStore store;
    if (bytes.isEmpty())
        return store;
    QList<QByteArray> lines = bytes.split('\n');
    for (QByteArray &line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    const QByteArray &header = lines.constFirst();
    bool numbered = false;
    store.version = header.startsWith(kHeaderPrefix) ? header.mid(kHeaderPrefix.size()).toInt(&numbered) : 0;
    if (!numbered || store.version < 1)
        throw notAStore();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray &line = lines.at(i);
        if (line.isEmpty())
            continue;
        const QList<QByteArray> fields = line.split('\t');
        const QString path = fields.size() > 1 ? decodeField(fields.at(1)) : QString();
        const QByteArray &kind = fields.constFirst();
        bool known = path.startsWith(QLatin1Char('/'));
        if (known && kind == "folder") {
            if (!store.folders.contains(path)) {
                store.folders.append(path);
                store.folderExtra.insert(path, extraFields(fields, 2));
            }
        } else if (known && kind == "played" && fields.size() >= 4) {
            bool countRead = false, timeRead = false;
            PlayRecord record;
            record.count = fields.at(2).toLongLong(&countRead);
            const qint64 seconds = fields.at(3).toLongLong(&timeRead);
            known = countRead && timeRead && record.count >= 0;
            bool timeKept = fields.size() >= 5;
            if (timeKept) {
                record.seconds = fields.at(4).toLongLong(&timeKept);
                timeKept = timeKept && record.seconds >= 0;
                if (!timeKept)
                    record.seconds = 0;
            }
            if (known) {
                if (seconds > 0)
                    record.last = QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
                record.extra = extraFields(fields, timeKept ? 5 : 4);
                mergeInto(store.plays[path], record);
            }
        } else if (kind == "game" && fields.size() >= 8) {
            GameHistory game;
            game.content = contentOfField(fields.at(1));
            game.lastPath = decodeField(fields.at(2));
            bool countRead = false, timeRead = false, secondsRead = false;
            game.play.count = fields.at(3).toLongLong(&countRead);
            const qint64 last = fields.at(4).toLongLong(&timeRead);
            game.play.seconds = fields.at(5).toLongLong(&secondsRead);
            const QByteArray &liked = fields.at(6);
            known = game.content.isValid() && countRead && timeRead && secondsRead && game.play.count >= 0
                    && game.play.seconds >= 0 && (liked == "0" || liked == "1")
                    && (game.lastPath.isEmpty() || game.lastPath.startsWith(QLatin1Char('/')));
            if (known) {
                if (last > 0)
                    game.play.last = QDateTime::fromSecsSinceEpoch(last, Qt::UTC);
                game.favourite = liked == "1";
                game.emulator = QString::fromUtf8(QByteArray::fromPercentEncoding(fields.at(7)));
                game.extra = extraFields(fields, 8);
                GameHistory &kept = store.games[contentKey(game.content)];
                if (!kept.content.isValid())
                    kept = game;
                else
                    mergeInto(kept, game);
            }
        } else if (known && kind == "favourite") {
            store.favourites.insert(path);
            store.favouriteExtra.insert(path, extraFields(fields, 2));
        } else {
            known = false;
        }
        if (!known)
            store.unknownLines.append(line);  // another version's, or one not understood: kept
    }
    return store;
}

QString LibraryStore::keyOf(const QString &gamePath)
{
    const QString absolute = QDir::cleanPath(absolutePath(gamePath));
    const qsizetype slash = absolute.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return absolute;
    // The folder's real path and the file's own name: a link to a folder
    // and "./" spell one game; a link to a file is a name of its own.
    char resolved[PATH_MAX];
    const QByteArray folder = encodePath(slash == 0 ? QStringLiteral("/") : absolute.left(slash));
    if (!::realpath(folder.constData(), resolved))
        return absolute;
    const QString real = decodePath(QByteArray(resolved));
    return (real == QLatin1String("/") ? QString() : real) + absolute.mid(slash);
}

void LibraryStore::mergeSpellings()
{
    QHash<QString, PlayRecord> merged;
    merged.reserve(plays.size());
    for (auto it = plays.cbegin(); it != plays.cend(); ++it)
        mergeInto(merged[keyOf(it.key())], it.value());
    plays = std::move(merged);
    QSet<QString> liked;
    QHash<QString, QByteArray> likedExtra;
    for (const QString &game : std::as_const(favourites)) {
        const QString key = keyOf(game);
        liked.insert(key);
        if (!likedExtra.contains(key) || likedExtra.value(key).isEmpty())
            likedExtra.insert(key, favouriteExtra.value(game));
    }
    favourites = std::move(liked);
    favouriteExtra = std::move(likedExtra);
}

void LibraryStore::carryOver(const ContentOf &contentOf)
{
    if (!contentOf)
        return;
    for (auto it = plays.begin(); it != plays.end();) {
        const RomKey content = contentOf(it.key());
        if (!content.isValid()) {
            ++it;
            continue;
        }
        GameHistory from;
        from.content = content;
        from.lastPath = it.key();
        from.play = it.value();
        GameHistory &into = games[contentKey(content)];
        if (!into.content.isValid())
            into = from;
        else
            mergeInto(into, from);
        it = plays.erase(it);
    }
    for (auto it = favourites.begin(); it != favourites.end();) {
        const RomKey content = contentOf(*it);
        if (!content.isValid()) {
            ++it;
            continue;
        }
        GameHistory &into = games[contentKey(content)];
        if (!into.content.isValid()) {
            into.content = content;
            into.lastPath = *it;
        }
        into.favourite = true;
        favouriteExtra.remove(*it);
        it = favourites.erase(it);
    }
}

const GameHistory *LibraryStore::historyOf(const RomKey &content) const
{
    if (!content.isValid())
        return nullptr;
    const auto found = games.constFind(contentKey(content));
    return found == games.constEnd() ? nullptr : &found.value();
}

PlayRecord LibraryStore::playOf(const QString &historyKey, const RomKey &content) const
{
    PlayRecord record;
    if (const GameHistory *game = historyOf(content))
        record = game->play;
    const auto byPath = plays.constFind(historyKey);
    if (byPath != plays.constEnd())
        mergeInto(record, byPath.value());
    return record;
}

bool LibraryStore::isFavourite(const QString &historyKey, const RomKey &content) const
{
    const GameHistory *game = historyOf(content);
    return (game && game->favourite) || favourites.contains(historyKey);
}

QString LibraryStore::emulatorOf(const RomKey &content) const
{
    const GameHistory *game = historyOf(content);
    return game ? game->emulator : QString();
}

QStringList LibraryStore::addFolders(const QStringList &folders, const QString &path, bool samples)
{
    const QByteArray kSamples = "\tsamples";
    QStringList added;
    change(path, [&](LibraryStore &store) {
        for (const QString &folder : folders)
            if (!store.folders.contains(folder) && !added.contains(folder))
                added.append(folder);
        if (samples) {
            // Only into a library without a folder of the user's own.
            if (!store.folders.isEmpty())
                added.clear();
            for (const QString &folder : std::as_const(added))
                store.folderExtra.insert(folder, kSamples);
        } else if (!added.isEmpty()) {
            for (const QString &folder : QStringList(store.folders))
                if (store.folderExtra.value(folder) == kSamples) {
                    store.folders.removeAll(folder);
                    store.folderExtra.remove(folder);
                }
        }
        store.folders += added;
    }, kLockWaitMs);
    return added;
}

bool LibraryStore::removeFolder(const QString &folder, const QString &path)
{
    bool removed = false;
    change(path, [&](LibraryStore &store) {
        removed = store.folders.removeAll(folder) > 0;
        store.folderExtra.remove(folder);
    }, kLockWaitMs);
    return removed;
}

void LibraryStore::recordPlay(const QString &game, const QDateTime &when, const QString &path, int lockWaitMs)
{
    recordPlays({PlayEvent{game, when, -1, RomKey(), QString()}}, path, lockWaitMs);
}

void LibraryStore::recordPlays(const QList<PlayEvent> &played, const QString &path, int lockWaitMs,
                               const ContentOf &contentOf)
{
    QList<PlayEvent> keyed;
    for (const PlayEvent &event : played)
        keyed.append({keyOf(event.game), event.when.toUTC(), event.seconds, event.content, event.emulator});
    change(path, [&](LibraryStore &store) {
        for (const PlayEvent &event : std::as_const(keyed)) {
            PlayRecord *record = nullptr;
            if (event.content.isValid()) {
                // The game's history by content takes what was kept by its
                // path.
                GameHistory &game = store.games[contentKey(event.content)];
                game.content = event.content;
                game.lastPath = event.game;
                const auto byPath = store.plays.constFind(event.game);
                if (byPath != store.plays.constEnd()) {
                    mergeInto(game.play, byPath.value());
                    store.plays.erase(byPath);
                }
                if (store.favourites.remove(event.game)) {
                    game.favourite = true;
                    store.favouriteExtra.remove(event.game);
                }
                if (!event.emulator.isEmpty())
                    game.emulator = event.emulator;
                record = &game.play;
            } else {
                record = &store.plays[event.game];
            }
            if (event.seconds >= 0) {
                record->seconds = addCounts(record->seconds, event.seconds);
                continue;
            }
            record->count = addCounts(record->count, 1);
            if (!record->last.isValid() || event.when > record->last)
                record->last = event.when;
        }
    }, lockWaitMs, contentOf);
}

bool LibraryStore::toggleFavourite(const QString &game, const QString &path, const RomKey &content,
                                   const ContentOf &contentOf)
{
    const QString key = keyOf(game);
    bool now = false;
    change(path, [&](LibraryStore &store) {
        now = !store.isFavourite(key, content);
        // Kept by content where the game's is known; by its path else.
        store.favourites.remove(key);
        store.favouriteExtra.remove(key);
        if (content.isValid()) {
            GameHistory &kept = store.games[contentKey(content)];
            if (!kept.content.isValid()) {
                kept.content = content;
                kept.lastPath = key;
            }
            kept.favourite = now;
        } else if (now) {
            store.favourites.insert(key);
        }
    }, kLockWaitMs, contentOf);
    return now;
}

}  // namespace vantorix
