#pragma once

#include "catalogue/FileStamp.h"
#include "catalogue/RomKey.h"

#include <QHash>
#include <QString>

// The keys of ROMs read whole once, kept on disk so that the next look at
// an unchanged file costs nothing. One SQLite file, shared by every running
// program (a window, a scan in a terminal): each listed folder's keys are
// one row, read in one go and merged on writing, in a transaction. A file
// counts as unchanged while its device, inode, size and modification time
// to the nanosecond are the same. A damaged or foreign file in the cache's
// place is set aside and a new one begun; no failure of the cache is ever
// more than a slower scan.
namespace vantorix {

class HashCache {
public:
    using Keys = QHash<FileStamp, RomKey>;

    // Bounds: the keys kept for one folder, and the folders kept (the ones
    // used longest ago go first).
    static constexpr int kMaxKeysPerFolder = 200'000;
    static constexpr int kMaxFolders = 1'000;

    // $XDG_CACHE_HOME/vantorix/hashes.sqlite (~/.cache/...).
    static QString defaultPath();

    explicit HashCache(const QString &path = defaultPath());
    ~HashCache();
    HashCache(const HashCache &) = delete;
    HashCache &operator=(const HashCache &) = delete;

    // The keys recorded for the files of the folder (by its device and
    // inode).
    Keys keysOf(const FileStamp &folder);
    // Adds keys to the folder's, keeping what others wrote meanwhile.
    void remember(const FileStamp &folder, const Keys &keys);

    // Whether the cache could be opened (false: it works as an empty one).
    bool isOpen() const { return open_; }

private:
    enum class Opening { Open, Unusable, Busy };
    Opening openDatabase();
    void setAside();

    QString path_;
    QString connection_;
    bool open_ = false;
};

}  // namespace vantorix
