#pragma once

#include <QHashFunctions>
#include <QString>

struct stat;

namespace vantorix {

// What tells one state of a file from another without reading it.
struct FileStamp {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1;
    qint64 modifiedNs = 0;
    // The inode's change time: a file rewritten in place with its size kept
    // and its modification time put back (cp -p, tar) still changes it.
    qint64 changedNs = 0;

    // The file at path as it is now; size -1 when it cannot be looked at.
    static FileStamp of(const QString &path);
    static FileStamp of(const struct stat &st);
    bool operator==(const FileStamp &other) const
    {
        return device == other.device && inode == other.inode && size == other.size
               && modifiedNs == other.modifiedNs && changedNs == other.changedNs;
    }
};

inline size_t qHash(const FileStamp &stamp, size_t seed = 0)
{
    return qHashMulti(seed, stamp.device, stamp.inode, stamp.size, stamp.modifiedNs, stamp.changedNs);
}

}  // namespace vantorix
