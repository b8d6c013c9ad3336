#pragma once

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

// What the library keeps of the user's: the folders it lists, how often and
// when each game was played, and the favourites. One small text file in the
// user's data folder ($XDG_DATA_HOME/vantorix/library.txt, never the cache,
// which a user may clear), written whole and atomically, never through a
// link, and changed under a lock: a read, a change and a write at once, so
// that the window and kelpad started from a file manager never lose each
// other's plays.
namespace vantorix {

struct PlayRecord {
    int count = 0;
    QDateTime last;  // UTC
};

class LibraryStore {
public:
    static QString defaultPath();

    // The store as it is on disk now (empty where there is none, or where
    // the file is unreadable or no store of ours).
    static LibraryStore read(const QString &path = defaultPath());

    QStringList folders;                    // absolute, in the order added
    QHash<QString, PlayRecord> plays;       // by the game's absolute path
    QSet<QString> favourites;               // absolute paths

    // The store's text: a header line, then a line a record, paths
    // percent-encoded (their bytes, so that any name comes back).
    QByteArray serialize() const;
    static LibraryStore parse(const QByteArray &bytes);

    // Each change: the file read again under the lock, changed, written.
    // Throws IoError when it cannot be written.
    // The folders not in yet are added; returns those added.
    static QStringList addFolders(const QStringList &folders, const QString &path = defaultPath());
    // False when the folder was not in the library.
    static bool removeFolder(const QString &folder, const QString &path = defaultPath());
    static void recordPlay(const QString &game, const QDateTime &when = QDateTime::currentDateTimeUtc(),
                           const QString &path = defaultPath());
    // Returns whether the game is a favourite now.
    static bool toggleFavourite(const QString &game, const QString &path = defaultPath());
};

}  // namespace vantorix
