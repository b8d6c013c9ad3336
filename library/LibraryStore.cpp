#include "library/LibraryStore.h"

#include "settings/ConfigurationFile.h"
#include "platform/FilePath.h"
#include "platform/IoError.h"
#include "platform/WholeFile.h"

#include <functional>

namespace vantorix {

namespace {

const QByteArray kHeader = "# Vantorix library 1";
constexpr qint64 kMaxStoreBytes = qint64(64) << 20;
constexpr int kLockWaitMs = 5000;

// Bytes that would break a record: the separators and the escape itself.
QByteArray encodeField(const QString &path)
{
    return encodePath(path).toPercentEncoding("/ ()[]&',;!@+=~#$");
}

QString decodeField(const QByteArray &field)
{
    return decodePath(QByteArray::fromPercentEncoding(field));
}

void change(const QString &path, const std::function<void(LibraryStore &)> &edit)
{
    makeFolders(path.left(path.lastIndexOf(QLatin1Char('/'))));
    const ConfigurationLock lock(path, kLockWaitMs);
    LibraryStore store = LibraryStore::read(path);
    edit(store);
    writeFileAtomically(path, store.serialize(), LinkAtPath::Replace);
}

}  // namespace

QString LibraryStore::defaultPath()
{
    return userDataHome() + QStringLiteral("/vantorix/library.txt");
}

LibraryStore LibraryStore::read(const QString &path)
{
    try {
        return parse(readOwnFile(path, kMaxStoreBytes));
    } catch (const IoError &) {
        return LibraryStore();
    }
}

QByteArray LibraryStore::serialize() const
{
    QByteArray out = kHeader + '\n';
    for (const QString &folder : folders)
        out += "folder\t" + encodeField(folder) + '\n';
    QStringList played = plays.keys();
    played.sort();
    for (const QString &game : played) {
        const PlayRecord &record = plays.value(game);
        out += "played\t" + encodeField(game) + '\t' + QByteArray::number(record.count) + '\t'
               + QByteArray::number(record.last.toSecsSinceEpoch()) + '\n';
    }
    QStringList liked(favourites.cbegin(), favourites.cend());
    liked.sort();
    for (const QString &game : liked)
        out += "favourite\t" + encodeField(game) + '\n';
    return out;
}

LibraryStore LibraryStore::parse(const QByteArray &bytes)
{
    LibraryStore store;
    const QList<QByteArray> lines = bytes.split('\n');
    if (lines.isEmpty() || lines.constFirst() != kHeader)
        return store;  // no store of ours: nothing taken from it
    for (const QByteArray &line : lines) {
        const QList<QByteArray> fields = line.split('\t');
        const QString path = fields.size() > 1 ? decodeField(fields.at(1)) : QString();
        if (!path.startsWith(QLatin1Char('/')))
            continue;
        if (fields.at(0) == "folder" && !store.folders.contains(path)) {
            store.folders.append(path);
        } else if (fields.at(0) == "played" && fields.size() == 4) {
            PlayRecord record;
            record.count = qMax(0, fields.at(2).toInt());
            record.last = QDateTime::fromSecsSinceEpoch(fields.at(3).toLongLong(), Qt::UTC);
            store.plays.insert(path, record);
        } else if (fields.at(0) == "favourite") {
            store.favourites.insert(path);
        }
    }
    return store;
}

QStringList LibraryStore::addFolders(const QStringList &folders, const QString &path)
{
    QStringList added;
    change(path, [&](LibraryStore &store) {
        for (const QString &folder : folders)
            if (!store.folders.contains(folder) && !added.contains(folder))
                added.append(folder);
        store.folders += added;
    });
    return added;
}

bool LibraryStore::removeFolder(const QString &folder, const QString &path)
{
    bool removed = false;
    change(path, [&](LibraryStore &store) { removed = store.folders.removeAll(folder) > 0; });
    return removed;
}

void LibraryStore::recordPlay(const QString &game, const QDateTime &when, const QString &path)
{
    change(path, [&](LibraryStore &store) {
        PlayRecord &record = store.plays[game];
        ++record.count;
        record.last = when.toUTC();
    });
}

bool LibraryStore::toggleFavourite(const QString &game, const QString &path)
{
    bool now = false;
    change(path, [&](LibraryStore &store) {
        now = !store.favourites.remove(game);
        if (now)
            store.favourites.insert(game);
    });
    return now;
}

}  // namespace vantorix
