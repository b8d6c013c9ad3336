#pragma once

#include "rom/FileStamp.h"
#include "rom/RomKey.h"

#include <QHash>
#include <QString>

class QSqlQuery;

// The keys of ROMs read whole once, kept on disk so that the next look at
// an unchanged file costs nothing. One SQLite file, shared by every running
// program (a window, a scan in a terminal): each listed folder's keys are
// one row, read in one go and rewritten after each pass, in a transaction.
// A file counts as unchanged while its device, inode, size, modification
// and change times to the nanosecond are the same. A damaged or foreign
// file in the cache's place, or a link there, is set aside and a new one
// begun; a cache another program holds, or a full disk, only means a
// slower scan.
namespace vantorix {

class HashCache {
public:
    using Keys = QHash<FileStamp, RomKey>;

    // Bounds: the keys kept for one folder, the keys and the folders kept
    // in all (the folders used longest ago go first).
    static constexpr int kMaxKeysPerFolder = 200'000;
    static constexpr int kMaxKeys = 1'000'000;
    static constexpr int kMaxFolders = 1'000;
    // A key no pass over its folder has seen this many times running is
    // taken for a file gone.
    static constexpr int kMissesBeforeForgotten = 3;

    // How long to wait for another program's lock: a little on the command
    // line; never on the window's thread.
    static constexpr int kCommandLineWaitMs = 200;

    // $XDG_CACHE_HOME/vantorix/hashes.sqlite (~/.cache/...).
    static QString defaultPath();

    explicit HashCache(const QString &path = defaultPath(), int busyWaitMs = kCommandLineWaitMs);
    ~HashCache();
    HashCache(const HashCache &) = delete;
    HashCache &operator=(const HashCache &) = delete;

    // The keys recorded for the files of the folder (by its device and
    // inode).
    Keys keysOf(const FileStamp &folder);
    // What one pass over the folder saw: these keys replace the folder's,
    // where the same file (by inode) was recorded in another state; the
    // others are kept until kMissesBeforeForgotten passes miss them. The
    // folder counts as used now.
    void remember(const FileStamp &folder, const Keys &seen);

    // Whether the cache could be opened (false: it works as an empty one).
    bool isOpen() const { return open_; }
    // Whether it could not be opened or written because another program
    // held it.
    bool wasBusy() const { return busy_; }

private:
    // How often the whole file is checked for damage on opening.
    static constexpr qint64 kCheckEverySeconds = 24 * 3600;

    enum class Opening { Open, Unusable, Busy };
    Opening openDatabase(int busyWaitMs);
    void setAside();
    // A query that found the file damaged: it is set aside and begun anew.
    static bool isDamage(const QSqlQuery &q);
    void recoverFromDamage();
    QByteArray storedKeys(const FileStamp &folder, bool *damaged = nullptr);

    QString path_;
    QString connection_;
    int busyWaitMs_;
    bool open_ = false;
    bool busy_ = false;
};

}  // namespace vantorix
