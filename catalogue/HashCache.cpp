#include "catalogue/HashCache.h"

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

namespace vantorix {

namespace {

// "VTXH": a cache file of ours, told from any other SQLite file.
constexpr int kApplicationId = 0x56545848;
constexpr int kSchemaVersion = 1;
constexpr int kRecordBytes = 40;  // device, inode, size, time, CRC, ROM size

QByteArray pack(const HashCache::Keys &keys)
{
    QByteArray blob(qsizetype(keys.size()) * kRecordBytes, Qt::Uninitialized);
    uchar *out = reinterpret_cast<uchar *>(blob.data());
    for (auto it = keys.constBegin(); it != keys.constEnd(); ++it, out += kRecordBytes) {
        qToLittleEndian<quint64>(it.key().device, out);
        qToLittleEndian<quint64>(it.key().inode, out + 8);
        qToLittleEndian<qint64>(it.key().size, out + 16);
        qToLittleEndian<qint64>(it.key().modifiedNs, out + 24);
        qToLittleEndian<quint32>(it.value().crc32, out + 32);
        qToLittleEndian<quint32>(quint32(it.value().size), out + 36);
    }
    return blob;
}

HashCache::Keys unpack(const QByteArray &blob)
{
    HashCache::Keys keys;
    const qsizetype count = blob.size() / kRecordBytes;
    keys.reserve(count);
    const uchar *in = reinterpret_cast<const uchar *>(blob.constData());
    for (qsizetype i = 0; i < count; ++i, in += kRecordBytes) {
        FileStamp stamp;
        stamp.device = qFromLittleEndian<quint64>(in);
        stamp.inode = qFromLittleEndian<quint64>(in + 8);
        stamp.size = qFromLittleEndian<qint64>(in + 16);
        stamp.modifiedNs = qFromLittleEndian<qint64>(in + 24);
        keys.insert(stamp, RomKey{qFromLittleEndian<quint32>(in + 32), qint64(qFromLittleEndian<quint32>(in + 36))});
    }
    return keys;
}

}  // namespace

QString HashCache::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
           + QStringLiteral("/vantorix/hashes.sqlite");
}

HashCache::HashCache(const QString &path) : path_(path)
{
    static std::atomic<int> serial{0};
    connection_ = QStringLiteral("vantorix-hash-cache-%1").arg(serial++);
    Opening opening = openDatabase();
    if (opening == Opening::Unusable) {
        // Damaged, or someone else's: put aside, begun anew.
        setAside();
        opening = openDatabase();
    }
    // Held too long by another program: this run goes without.
    open_ = opening == Opening::Open;
}

HashCache::~HashCache()
{
    QSqlDatabase::database(connection_, false).close();
    QSqlDatabase::removeDatabase(connection_);
}

HashCache::Opening HashCache::openDatabase()
{
    QSqlDatabase::removeDatabase(connection_);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    if (!db.isValid() || path_.isEmpty() || !QDir().mkpath(QFileInfo(path_).absolutePath()))
        return Opening::Busy;  // nothing to set aside
    db.setDatabaseName(path_);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    if (!db.open())
        return Opening::Busy;
    QSqlQuery q(db);
    // Only what the file holds makes it unusable; a lock another program
    // keeps is no reason to throw its cache away.
    const auto failed = [&q] {
        const QString code = q.lastError().nativeErrorCode();
        return code == QLatin1String("5") || code == QLatin1String("6") ? Opening::Busy : Opening::Unusable;
    };
    // A file that is no SQLite database fails here.
    if (!q.exec(QStringLiteral("PRAGMA application_id")) || !q.next())
        return failed();
    const int id = q.value(0).toInt();
    if (id != kApplicationId) {
        if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !q.next())
            return failed();
        if (q.value(0).toInt() != 0)
            return Opening::Unusable;  // some other program's database
        if (!q.exec(QStringLiteral("PRAGMA application_id = %1").arg(kApplicationId))
            || !q.exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion)))
            return failed();
    } else if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next()) {
        return failed();
    } else if (q.value(0).toInt() != kSchemaVersion) {
        return Opening::Unusable;
    }
    // Readers never wait on a writer.
    q.exec(QStringLiteral("PRAGMA journal_mode = WAL"));
    if (!q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS folders (device INTEGER NOT NULL, inode INTEGER NOT NULL,"
                               " used INTEGER NOT NULL, keys BLOB NOT NULL, PRIMARY KEY (device, inode))")))
        return failed();
    return Opening::Open;
}

void HashCache::setAside()
{
    QSqlDatabase::database(connection_, false).close();
    QSqlDatabase::removeDatabase(connection_);
    const QString aside = path_ + QStringLiteral(".damaged");
    QFile::remove(aside);
    if (!QFile::rename(path_, aside))
        QFile::remove(path_);
    QFile::remove(path_ + QStringLiteral("-wal"));
    QFile::remove(path_ + QStringLiteral("-shm"));
}

HashCache::Keys HashCache::keysOf(const FileStamp &folder)
{
    if (!open_)
        return Keys();
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare(QStringLiteral("SELECT keys FROM folders WHERE device = ? AND inode = ?"));
    q.addBindValue(qint64(folder.device));
    q.addBindValue(qint64(folder.inode));
    if (!q.exec() || !q.next())
        return Keys();
    return unpack(q.value(0).toByteArray());
}

void HashCache::remember(const FileStamp &folder, const Keys &keys)
{
    if (!open_ || keys.isEmpty())
        return;
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery q(db);
    // Taken for writing at once, so that two programs merging the same
    // folder do it one after the other.
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return;
    Keys merged = keysOf(folder);
    for (auto it = keys.constBegin(); it != keys.constEnd() && merged.size() < kMaxKeysPerFolder; ++it)
        merged.insert(it.key(), it.value());
    q.prepare(QStringLiteral("INSERT OR REPLACE INTO folders (device, inode, used, keys) VALUES (?, ?,"
                             " (SELECT coalesce(max(used), 0) + 1 FROM folders), ?)"));
    q.addBindValue(qint64(folder.device));
    q.addBindValue(qint64(folder.inode));
    q.addBindValue(pack(merged));
    const bool written = q.exec()
                         && q.exec(QStringLiteral("DELETE FROM folders WHERE used <= (SELECT max(used) FROM folders) - %1")
                                       .arg(kMaxFolders));
    q.exec(written ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK"));
}

}  // namespace vantorix
