#include "names/HashCache.h"

#include "platform/FilePath.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>
#include <QtEndian>

#include <atomic>

#include <QSet>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantorix {

namespace {

// "VTXH": a cache file of ours, told from any other SQLite file.
constexpr int kApplicationId = 0x56545848;
constexpr int kSchemaVersion = 2;
// device, inode, size, modification and change times, CRC, ROM size, and
// how many passes running have missed the file.
constexpr int kRecordBytes = 52;

struct Record {
    FileStamp stamp;
    RomKey key;
    quint32 misses = 0;
};

void appendRecord(QByteArray &blob, const Record &r)
{
    uchar out[kRecordBytes];
    qToLittleEndian<quint64>(r.stamp.device, out);
    qToLittleEndian<quint64>(r.stamp.inode, out + 8);
    qToLittleEndian<qint64>(r.stamp.size, out + 16);
    qToLittleEndian<qint64>(r.stamp.modifiedNs, out + 24);
    qToLittleEndian<qint64>(r.stamp.changedNs, out + 32);
    qToLittleEndian<quint32>(r.key.crc32, out + 40);
    qToLittleEndian<quint32>(quint32(r.key.size), out + 44);
    qToLittleEndian<quint32>(r.misses, out + 48);
    blob.append(reinterpret_cast<const char *>(out), kRecordBytes);
}

template <typename Each>
void forEachRecord(const QByteArray &blob, Each each)
{
    const uchar *in = reinterpret_cast<const uchar *>(blob.constData());
    for (qsizetype i = 0; i < blob.size() / kRecordBytes; ++i, in += kRecordBytes) {
        Record r;
        r.stamp.device = qFromLittleEndian<quint64>(in);
        r.stamp.inode = qFromLittleEndian<quint64>(in + 8);
        r.stamp.size = qFromLittleEndian<qint64>(in + 16);
        r.stamp.modifiedNs = qFromLittleEndian<qint64>(in + 24);
        r.stamp.changedNs = qFromLittleEndian<qint64>(in + 32);
        r.key = RomKey{qFromLittleEndian<quint32>(in + 40), qint64(qFromLittleEndian<quint32>(in + 44))};
        r.misses = qFromLittleEndian<quint32>(in + 48);
        each(r);
    }
}

bool isLink(const QString &path)
{
    struct stat st;
    const QByteArray name = encodePath(path);
    return ::lstat(name.constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

}  // namespace

QString HashCache::defaultPath()
{
    return userCacheHome() + QStringLiteral("/vantorix/hashes.sqlite");
}

HashCache::HashCache(const QString &path, int busyWaitMs) : path_(path), busyWaitMs_(busyWaitMs)
{
    static std::atomic<int> serial{0};
    connection_ = QStringLiteral("vantorix-hash-cache-%1").arg(serial++);
    Opening opening = openDatabase(busyWaitMs);
    if (opening == Opening::Unusable) {
        // Damaged, someone else's, or a link: put aside, begun anew.
        setAside();
        opening = openDatabase(busyWaitMs);
    }
    // Held by another program, or no room: this run goes without.
    open_ = opening == Opening::Open;
    busy_ = opening == Opening::Busy;
}

HashCache::~HashCache()
{
    QSqlDatabase::database(connection_, false).close();
    QSqlDatabase::removeDatabase(connection_);
}

HashCache::Opening HashCache::openDatabase(int busyWaitMs)
{
    QSqlDatabase::removeDatabase(connection_);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    if (!db.isValid() || path_.isEmpty() || !QDir().mkpath(QFileInfo(path_).absolutePath()))
        return Opening::Busy;  // nothing to set aside
    // The cache never writes through a link, to wherever it points.
    for (const char *suffix : {"", "-wal", "-shm"})
        if (isLink(path_ + QLatin1String(suffix)))
            return Opening::Unusable;
    db.setDatabaseName(path_);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyWaitMs));
    if (!db.open())
        return Opening::Busy;
    QSqlQuery q(db);
    // Only what the file holds makes it unusable: a lock another program
    // keeps, a full disk or an unreadable file is no reason to throw a
    // sound cache away.
    const auto failed = [&q] { return isDamage(q) ? Opening::Unusable : Opening::Busy; };
    // A file that is no SQLite database fails here.
    if (!q.exec(QStringLiteral("PRAGMA application_id")) || !q.next())
        return failed();
    const int id = q.value(0).toInt();
    if (id != kApplicationId) {
        if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !q.next())
            return failed();
        if (q.value(0).toInt() != 0)
            return Opening::Unusable;  // some other program's database
        if (!q.exec(QStringLiteral("PRAGMA application_id = %1").arg(kApplicationId)))
            return failed();
    }
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next())
        return failed();
    if (q.value(0).toInt() != kSchemaVersion) {
        // Keys of an earlier form: begun anew in the same file.
        if (!q.exec(QStringLiteral("DROP TABLE IF EXISTS folders"))
            || !q.exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion)))
            return failed();
    }
    // Readers never wait on a writer; a commit waits for no disk, as a
    // cache may lose its last pass to a power cut.
    q.exec(QStringLiteral("PRAGMA journal_mode = WAL"));
    q.exec(QStringLiteral("PRAGMA synchronous = NORMAL"));
    if (!q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS folders (device INTEGER NOT NULL, inode INTEGER NOT NULL,"
                               " used INTEGER NOT NULL, keys BLOB NOT NULL, PRIMARY KEY (device, inode))")))
        return failed();
    // Damage past the first page shows only when its pages are read. A
    // query that meets it sets the file aside (see recoverFromDamage); the
    // whole file, whose check grows with it (about 50 MB at the bounds), is
    // checked once a day: an empty file beside it is touched at each check
    // (kept out of the database, which a full disk may not let grow).
    const QByteArray checkedMark = encodePath(path_ + QStringLiteral("-checked"));
    struct stat mark;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    if (::lstat(checkedMark.constData(), &mark) != 0 || !S_ISREG(mark.st_mode)
        || now - qint64(mark.st_mtime) >= kCheckEverySeconds || qint64(mark.st_mtime) > now) {
        if (!q.exec(QStringLiteral("PRAGMA quick_check")) || !q.next())
            return failed();
        if (q.value(0).toString() != QLatin1String("ok"))
            return Opening::Unusable;
        ::unlink(checkedMark.constData());  // whatever lay there, a link too
        const int fd = ::open(checkedMark.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0)
            ::close(fd);
    }
    return Opening::Open;
}

bool HashCache::isDamage(const QSqlQuery &q)
{
    const int code = q.lastError().nativeErrorCode().toInt() & 0xff;
    return code == 11 || code == 26;  // SQLITE_CORRUPT, SQLITE_NOTADB
}

void HashCache::recoverFromDamage()
{
    setAside();
    const Opening opening = openDatabase(busyWaitMs_);
    open_ = opening == Opening::Open;
    busy_ = busy_ || opening == Opening::Busy;
}

void HashCache::setAside()
{
    QSqlDatabase::database(connection_, false).close();
    QSqlDatabase::removeDatabase(connection_);
    const QString aside = path_ + QStringLiteral(".damaged");
    QFile::remove(aside);
    // A link is moved aside itself; what it points to is left alone.
    if (::rename(encodePath(path_).constData(), encodePath(aside).constData()) != 0)
        QFile::remove(path_);
    QFile::remove(path_ + QStringLiteral("-wal"));
    QFile::remove(path_ + QStringLiteral("-shm"));
    QFile::remove(path_ + QStringLiteral("-checked"));
}

QByteArray HashCache::storedKeys(const FileStamp &folder, bool *damaged)
{
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare(QStringLiteral("SELECT keys FROM folders WHERE device = ? AND inode = ?"));
    q.addBindValue(qint64(folder.device));
    q.addBindValue(qint64(folder.inode));
    if (q.exec() && q.next())
        return q.value(0).toByteArray();
    if (damaged)
        *damaged = isDamage(q);
    return QByteArray();
}

HashCache::Keys HashCache::keysOf(const FileStamp &folder)
{
    Keys keys;
    if (!open_)
        return keys;
    bool damaged = false;
    const QByteArray blob = storedKeys(folder, &damaged);
    if (damaged)
        recoverFromDamage();
    keys.reserve(blob.size() / kRecordBytes);
    forEachRecord(blob, [&keys](const Record &r) { keys.insert(r.stamp, r.key); });
    return keys;
}

void HashCache::remember(const FileStamp &folder, const Keys &seen)
{
    if (!open_)
        return;
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery q(db);
    // Taken for writing at once, so that two programs passing over the
    // same folder do it one after the other.
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        busy_ = true;
        return;
    }
    bool damaged = false;
    const QByteArray stored = storedKeys(folder, &damaged);
    if (damaged) {
        q.exec(QStringLiteral("ROLLBACK"));
        q = QSqlQuery();
        db = QSqlDatabase();
        recoverFromDamage();
        if (open_)
            remember(folder, seen);
        return;
    }
    // A pass that saw every file as recorded only marks the folder used.
    bool unchanged = stored.size() / kRecordBytes == seen.size();
    if (unchanged)
        forEachRecord(stored, [&](const Record &r) { unchanged = unchanged && r.misses == 0 && seen.contains(r.stamp); });
    if (unchanged) {
        // Marked used only when it is no longer among the folders used
        // lately: those are safe from the bound (kMaxFolders used last are
        // kept), and a pass that changed nothing then writes nothing, so
        // its end waits on no disk.
        q.prepare(QStringLiteral("SELECT (SELECT max(used) FROM folders) - used FROM folders"
                                 " WHERE device = ? AND inode = ?"));
        q.addBindValue(qint64(folder.device));
        q.addBindValue(qint64(folder.inode));
        if (q.exec() && q.next() && q.value(0).toLongLong() < kMaxFolders / 2) {
            q.finish();
            q.exec(QStringLiteral("ROLLBACK"));
            return;
        }
        q.prepare(QStringLiteral("UPDATE folders SET used = (SELECT coalesce(max(used), 0) + 1 FROM folders)"
                                 " WHERE device = ? AND inode = ?"));
        q.addBindValue(qint64(folder.device));
        q.addBindValue(qint64(folder.inode));
        const bool marked = q.exec();
        q.exec(marked ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK"));
        return;
    }
    QByteArray blob;
    blob.reserve(qsizetype(qMin(seen.size(), qsizetype(kMaxKeysPerFolder))) * kRecordBytes + stored.size());
    QSet<std::pair<quint64, quint64>> seenFiles;
    int count = 0;
    for (auto it = seen.constBegin(); it != seen.constEnd() && count < kMaxKeysPerFolder; ++it, ++count) {
        appendRecord(blob, Record{it.key(), it.value(), 0});
        seenFiles.insert({it.key().device, it.key().inode});
    }
    // What the pass did not see: a file in another state is gone, others
    // may lie outside what it listed, until they are missed too often.
    forEachRecord(stored, [&](Record r) {
        if (seen.contains(r.stamp) || seenFiles.contains({r.stamp.device, r.stamp.inode})
            || ++r.misses >= kMissesBeforeForgotten || count >= kMaxKeysPerFolder)
            return;
        appendRecord(blob, r);
        ++count;
    });
    q.prepare(QStringLiteral("INSERT OR REPLACE INTO folders (device, inode, used, keys) VALUES (?, ?,"
                             " (SELECT coalesce(max(used), 0) + 1 FROM folders), ?)"));
    q.addBindValue(qint64(folder.device));
    q.addBindValue(qint64(folder.inode));
    q.addBindValue(blob);
    bool written = q.exec()
                   && q.exec(QStringLiteral("DELETE FROM folders WHERE used <= (SELECT max(used) FROM folders) - %1")
                                 .arg(kMaxFolders));
    // All folders' keys together within bounds: the ones used longest ago
    // go first.
    if (written && q.exec(QStringLiteral("SELECT device, inode, length(keys) FROM folders ORDER BY used DESC"))) {
        qint64 bytes = 0;
        QList<std::pair<qint64, qint64>> over;
        while (q.next()) {
            bytes += q.value(2).toLongLong();
            if (bytes > qint64(kMaxKeys) * kRecordBytes)
                over.append({q.value(0).toLongLong(), q.value(1).toLongLong()});
        }
        for (const auto &[device, inode] : over) {
            q.prepare(QStringLiteral("DELETE FROM folders WHERE device = ? AND inode = ?"));
            q.addBindValue(device);
            q.addBindValue(inode);
            written = written && q.exec();
        }
    }
    const bool damagedWhileWriting = !written && isDamage(q);
    q.exec(written ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK"));
    if (damagedWhileWriting) {
        q = QSqlQuery();
        db = QSqlDatabase();
        recoverFromDamage();
        if (open_)
            remember(folder, seen);
    }
}

}  // namespace vantorix
