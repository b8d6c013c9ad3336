#include "rom/FileStamp.h"

#include "platform/FilePath.h"

#include <sys/stat.h>

namespace vantorix {

FileStamp FileStamp::of(const struct stat &st)
{
    FileStamp stamp;
    stamp.device = quint64(st.st_dev);
    stamp.inode = quint64(st.st_ino);
    stamp.size = qint64(st.st_size);
    stamp.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.changedNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return stamp;
}

FileStamp FileStamp::of(const QString &path)
{
    struct stat st;
    const QByteArray name = encodePath(path);
    if (name.isEmpty() || name.contains('\0') || ::stat(name.constData(), &st) != 0)
        return FileStamp();
    return of(st);
}

}  // namespace vantorix
