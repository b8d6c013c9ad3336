#include "platform/WholeFile.h"

#include "platform/FileDescriptor.h"
#include "platform/FilePath.h"
#include "platform/IoError.h"


#include <cctype>
#include <climits>
#include <cstdlib>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <linux/falloc.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantorix {

namespace {

void writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw IoError::fromErrno(errno);
        }
        data += n;
        size -= n;
    }
}

// Reserves size bytes for the file from its start, changing neither its
// length nor its bytes. A file system without reservations is written
// all the same.
void reserveRoom(int fd, qint64 size)
{
    if (size <= 0)
        return;
    if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, off_t(size)) == 0)
        return;
    if (errno == ENOSPC || errno == EDQUOT || errno == EFBIG)
        throw IoError::fromErrno(errno);
}

// Writes data, makes it durable and closes the file.
void writeDurably(FileDescriptor &fd, const QByteArray &data)
{
    writeAll(fd.get(), data.constData(), data.size());
    if (::fsync(fd.get()) != 0)
        throw IoError::fromErrno(errno);
    if (::close(fd.release()) != 0)
        throw IoError::fromErrno(errno);
}

// Rewrites the file itself, for a target that a rename cannot replace. The
// room for the new text is reserved before a byte of the old one changes:
// on a full disk the old file stays whole, never cut.
void writeInPlace(const QByteArray &target, const QByteArray &data)
{
    FileDescriptor fd(::open(target.constData(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW));
    if (fd.get() < 0)
        throw IoError::fromErrno(errno);
    reserveRoom(fd.get(), data.size());
    qint64 done = 0;
    while (done < data.size()) {
        const ssize_t n = ::pwrite(fd.get(), data.constData() + done, size_t(data.size() - done), off_t(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw IoError::fromErrno(errno);
        }
        done += n;
    }
    if (::ftruncate(fd.get(), off_t(data.size())) != 0 || ::fsync(fd.get()) != 0)
        throw IoError::fromErrno(errno);
    if (::close(fd.release()) != 0)
        throw IoError::fromErrno(errno);
}

// The temporaries of saves have this name: a pattern nobody else uses,
// with mkostemps's six random characters in its middle.
constexpr char kTemporaryPrefix[] = ".vantorix-save-";
constexpr char kTemporarySuffix[] = ".tmp";
constexpr size_t kTemporaryRandom = 6;

bool isOwnTemporaryName(const char *name)
{
    const size_t prefix = sizeof kTemporaryPrefix - 1;
    const size_t suffix = sizeof kTemporarySuffix - 1;
    if (std::strlen(name) != prefix + kTemporaryRandom + suffix || std::strncmp(name, kTemporaryPrefix, prefix) != 0
        || std::strcmp(name + prefix + kTemporaryRandom, kTemporarySuffix) != 0)
        return false;
    for (size_t i = prefix; i < prefix + kTemporaryRandom; ++i)
        if (!std::isalnum(uchar(name[i])))
            return false;
    return true;
}

// Temporary files of saves that were killed before their rename. A fresh
// one may belong to a save under way in another copy of the program.
void removeStaleTemporaries(const QString &folder)
{
    constexpr qint64 kStaleSeconds = 600;
    const QByteArray dirName = encodePath(folder);
    DIR *dir = ::opendir(dirName.constData());
    if (!dir)
        return;
    const qint64 now = qint64(::time(nullptr));
    const uid_t me = ::geteuid();
    while (const dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (!isOwnTemporaryName(name))
            continue;
        struct stat st;
        if (::fstatat(::dirfd(dir), name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode)
            && st.st_uid == me && now - qint64(st.st_mtime) > kStaleSeconds)
            ::unlinkat(::dirfd(dir), name, 0);
    }
    ::closedir(dir);
}

// Where a save goes. Paths stay bytes from here on (encodePath), so that a
// name that is not UTF-8 is written under its own bytes, never another's.
struct SaveTarget {
    QByteArray path;    // the file written
    QByteArray folder;  // where its temporary goes
    bool exists = false;
    struct stat old {};
};

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

// The file a link names, relative to the link's folder.
QByteArray linkTarget(const QByteArray &link)
{
    QByteArray target(PATH_MAX, Qt::Uninitialized);
    const ssize_t n = ::readlink(link.constData(), target.data(), size_t(target.size()));
    if (n < 0)
        throw IoError::fromErrno(errno);
    target.truncate(n);
    return target.startsWith('/') ? target : folderOf(link) + '/' + target;
}

SaveTarget resolveSaveTarget(const QString &path, LinkAtPath link)
{
    SaveTarget target;
    target.path = encodePath(absolutePath(path));
    if (path.isEmpty() || target.path.contains('\0'))
        throw IoError::fromErrno(ENOENT);
    struct stat st;
    if (link == LinkAtPath::SaveThrough && ::lstat(target.path.constData(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (::stat(target.path.constData(), &st) == 0) {
            char resolved[PATH_MAX];
            if (!::realpath(target.path.constData(), resolved))
                throw IoError::fromErrno(errno);
            target.path = resolved;
        } else {
            if (errno == ELOOP)
                throw IoError::fromErrno(ELOOP);
            // A link to a file not yet there: create that file, but never
            // through a second link.
            target.path = linkTarget(target.path);
            if (::lstat(target.path.constData(), &st) == 0 && S_ISLNK(st.st_mode))
                throw IoError::fromErrno(ELOOP);
        }
    }
    target.folder = folderOf(target.path);
    target.exists = ::lstat(target.path.constData(), &target.old) == 0;
    // A link of the program's own file is replaced by the rename, as it is.
    if (target.exists && S_ISLNK(target.old.st_mode))
        return target;
    if (target.exists && S_ISDIR(target.old.st_mode))
        throw IoError::fromErrno(EISDIR);
    // Devices and pipes cannot be replaced by a rename: refuse them rather
    // than swap a device node for a plain file.
    if (target.exists && !S_ISREG(target.old.st_mode))
        throw IoError::fromErrno(EACCES);
    if (target.exists && ::access(target.path.constData(), W_OK) != 0)
        throw IoError::fromErrno(errno);
    return target;
}

// Writes data durably into a new temporary beside the target, with the
// target's owner and mode; returns its name, or an empty one when the
// folder takes no new file (EACCES, EPERM). Throws IoError.
QByteArray writeTemporary(const SaveTarget &target, const QByteArray &data)
{
    QByteArray temp = target.folder + "/" + kTemporaryPrefix
                      + QByteArray(int(kTemporaryRandom), 'X') + kTemporarySuffix;
    FileDescriptor fd(::mkostemps(temp.data(), int(sizeof kTemporarySuffix - 1), O_CLOEXEC));
    if (fd.get() < 0) {
        if (target.exists && (errno == EACCES || errno == EPERM))
            return QByteArray();
        throw IoError::fromErrno(errno);
    }
    try {
        mode_t mode;
        if (target.exists && S_ISREG(target.old.st_mode)) {
            mode = target.old.st_mode & 07777;
            // Saving someone else's file (as root) keeps it theirs. Where
            // the owner cannot be kept the file becomes the saver's, in the
            // old group where the saver belongs to it (else its own: no
            // harm, so the answer is not needed).
            if (::fchown(fd.get(), target.old.st_uid, target.old.st_gid) != 0
                && ::fchown(fd.get(), uid_t(-1), target.old.st_gid) != 0) {
            }
        } else {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            mode = 0666 & ~mask;
        }
        if (::fchmod(fd.get(), mode) != 0)
            throw IoError::fromErrno(errno);
        writeDurably(fd, data);
    } catch (...) {
        ::unlink(temp.constData());
        throw;
    }
    return temp;
}

// Renames the temporary over the target; a target that cannot be replaced
// (a bind-mounted file: EBUSY; another user's file in a sticky folder:
// EPERM) is rewritten in place instead. The temporary never stays.
void commitTemporary(const SaveTarget &target, const QByteArray &temp, const QByteArray &data)
{
    if (::rename(temp.constData(), target.path.constData()) == 0)
        return;
    const int err = errno;
    try {
        if (!target.exists || !S_ISREG(target.old.st_mode) || (err != EBUSY && err != EPERM && err != EACCES))
            throw IoError::fromErrno(err);
        writeInPlace(target.path, data);
    } catch (...) {
        ::unlink(temp.constData());
        throw;
    }
    ::unlink(temp.constData());
}

}  // namespace

namespace {

// The whole of an open regular file, up to maxBytes.
QByteArray readAllOf(FileDescriptor &fd, const struct stat &st, qint64 maxBytes)
{
    if (!S_ISREG(st.st_mode))
        throw IoError::notRegularFile();
    if (st.st_size > maxBytes)
        throw IoError::fileTooLarge();
    QByteArray data;
    data.resize(qsizetype(st.st_size));
    qsizetype filled = 0;
    for (;;) {
        if (filled == data.size())
            data.resize(filled + 65536);  // the file grew since fstat
        const qint64 n = readAt(fd.get(), data.data() + filled, data.size() - filled, filled);
        if (n == 0)
            break;
        filled += n;
        if (filled > maxBytes)
            throw IoError::fileTooLarge();
    }
    data.truncate(filled);
    if (::close(fd.release()) != 0)
        throw IoError::fromErrno(errno);
    return data;
}

}  // namespace

std::optional<QByteArray> headOfRegularFile(const QString &path, qsizetype maxBytes)
{
    try {
        struct stat st;
        const FileDescriptor fd = openForReading(path, &st);
        if (!S_ISREG(st.st_mode))
            return std::nullopt;
        QByteArray head(maxBytes, Qt::Uninitialized);
        head.truncate(qsizetype(readAt(fd.get(), head.data(), head.size(), 0)));
        return head;
    } catch (const IoError &) {
        return std::nullopt;
    }
}

QByteArray readWholeFile(const QString &path, qint64 maxBytes)
{
    struct stat st;
    FileDescriptor fd = openForReading(path, &st);
    return readAllOf(fd, st, maxBytes);
}

void writeFileAtomically(const QString &path, const QByteArray &data, LinkAtPath link)
{
    const SaveTarget target = resolveSaveTarget(path, link);
    const QByteArray temp = writeTemporary(target, data);
    // A folder the user cannot write, holding a file the user can: the
    // file is rewritten in place, as there is no other way to save.
    if (temp.isEmpty() && S_ISREG(target.old.st_mode))
        writeInPlace(target.path, data);
    else if (temp.isEmpty())
        throw IoError::fromErrno(EACCES);
    else
        commitTemporary(target, temp, data);
    removeStaleTemporaries(decodePath(target.folder));
}

QByteArray readOwnFile(const QString &path, qint64 maxBytes, bool *found)
{
    if (found)
        *found = false;
    FileDescriptor fd(::open(encodePath(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW));
    struct stat st;
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        // Absent, a link (ELOOP) or something else: no file of ours.
        if (fd.get() < 0 && errno != ENOENT && errno != ELOOP && errno != ENOTDIR)
            throw IoError::fromErrno(errno);
        return QByteArray();
    }
    QByteArray bytes = readAllOf(fd, st, maxBytes);
    if (found)
        *found = true;
    return bytes;
}

}  // namespace vantorix
