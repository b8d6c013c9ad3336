#include "platform/FilePath.h"

#include <QCoreApplication>
#include <QDir>

#include "platform/IoError.h"

#include <cerrno>

#include <fcntl.h>

#include "platform/TextCodec.h"

#include <QStringDecoder>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace vantorix {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool isEscapedByte(QChar c)
{
    return c.unicode() >= kEscapeBase + 0x80 && c.unicode() <= kEscapeBase + 0xFF;
}

}  // namespace

bool isAscii(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

bool isAscii(const QByteArray &bytes)
{
    // Eight bytes at a time: every name of a folder is looked at.
    const char *p = bytes.constData();
    const char *end = p + bytes.size();
    uint64_t high = 0;
    for (; end - p >= 8; p += 8) {
        uint64_t word;
        std::memcpy(&word, p, 8);
        high |= word;
    }
    for (; p < end; ++p)
        high |= uchar(*p);
    return (high & 0x8080808080808080ULL) == 0;
}

QString decodePath(const QByteArray &bytes)
{
    // Most names are plain ASCII: no decoder needed.
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    text.resize(bytes.size());
    QChar *out = text.data();
    for (const char c : bytes) {
        const uchar b = uchar(c);
        *out++ = b < 0x80 ? QChar(b) : QChar(char16_t(kEscapeBase + b));
    }
    return text;
}

QByteArray encodePath(const QString &path)
{
    if (isFaithfulPath(path))
        return path.toUtf8();
    QByteArray bytes;
    bytes.reserve(path.size() * 3);
    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= path.size(); ++i) {
        if (i < path.size() && !isEscapedByte(path.at(i)))
            continue;
        bytes += QStringView(path).mid(runStart, i - runStart).toUtf8();
        if (i < path.size())
            bytes += char(path.at(i).unicode() - kEscapeBase);
        runStart = i + 1;
    }
    return bytes;
}

QString displayPath(const QString &path)
{
    if (isFaithfulPath(path))
        return path;
    QString shown = path;
    for (QChar &c : shown) {
        if (isEscapedByte(c))
            c = decodeWindows1252(QByteArray(1, char(c.unicode() - kEscapeBase))).at(0);
    }
    return shown;
}

bool isFaithfulPath(const QString &path)
{
    for (const QChar c : path)
        if (isEscapedByte(c))
            return false;
    return true;
}

QString currentFolderPath()
{
    char buffer[PATH_MAX];
    if (::getcwd(buffer, sizeof buffer))
        return decodePath(QByteArray(buffer));
    return QStringLiteral(".");
}

FileDescriptor openForReading(const QString &path, struct stat *st)
{
    const QByteArray name = encodePath(path);
    if (name.isEmpty() || name.contains('\0'))
        throw IoError::fromErrno(ENOENT);
    FileDescriptor fd(::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0)
        throw IoError::fromErrno(errno);
    if (::fstat(fd.get(), st) != 0)
        throw IoError::fromErrno(errno);
    if (S_ISDIR(st->st_mode))
        throw IoError::fromErrno(EISDIR);
    return fd;
}

QString absolutePath(const QString &path)
{
    if (path.startsWith(QLatin1Char('/')))
        return path;
    const QString folder = currentFolderPath();
    return folder.endsWith(QLatin1Char('/')) ? folder + path : folder + QLatin1Char('/') + path;
}

QString baseName(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

qint64 readAt(int fd, char *buffer, qint64 length, qint64 offset)
{
    for (;;) {
        const ssize_t n = ::pread(fd, buffer, size_t(length), off_t(offset));
        if (n >= 0)
            return n;
        if (errno != EINTR)
            throw IoError::fromErrno(errno);
    }
}

QString xdgUserFolder(const char *variable, const QString &fallbackBelowHome)
{
    const QString set = decodePath(qgetenv(variable));
    if (set.startsWith(QLatin1Char('/')))
        return set;
    return QDir::homePath() + QLatin1Char('/') + fallbackBelowHome;
}

QString userDataHome()
{
    return xdgUserFolder("XDG_DATA_HOME", QStringLiteral(".local/share"));
}

QString userCacheHome()
{
    return xdgUserFolder("XDG_CACHE_HOME", QStringLiteral(".cache"));
}

void makeFolders(const QString &path)
{
    const QString clean = QDir::cleanPath(absolutePath(path));
    QString made;
    for (const QString &part : clean.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        made += QLatin1Char('/') + part;
        const QByteArray name = encodePath(made);
        if (::mkdir(name.constData(), 0777) == 0 || errno != EEXIST)
            continue;
        struct stat st;
        if (::stat(name.constData(), &st) == 0 && !S_ISDIR(st.st_mode))
            throw IoError(IoError::InvalidFilename,
                          QCoreApplication::translate("IoError", "Not a folder: %1").arg(displayPath(made)));
    }
    struct stat st;
    if (::stat(encodePath(clean).constData(), &st) != 0)
        throw IoError::fromErrno(errno);
}

void makeOwnFolders(const QString &root, const QString &below)
{
    makeFolders(root);
    QByteArray made = encodePath(absolutePath(root));
    for (const QString &part : below.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String(".") || part == QLatin1String(".."))
            throw IoError::fromErrno(EINVAL);
        made += '/' + encodePath(part);
        struct stat st;
        if (::lstat(made.constData(), &st) == 0 && !S_ISDIR(st.st_mode) && ::unlink(made.constData()) != 0)
            throw IoError::fromErrno(errno);
        if (::mkdir(made.constData(), 0777) != 0 && errno != EEXIST)
            throw IoError::fromErrno(errno);
    }
}

bool isRegularFile(const QString &path)
{
    struct stat st;
    return ::stat(encodePath(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool fileIdentity(const QString &path, FileIdentity *identity)
{
    struct stat st;
    const QByteArray name = encodePath(path);
    if (name.isEmpty() || name.contains('\0') || ::stat(name.constData(), &st) != 0)
        return false;
    *identity = FileIdentity{st.st_dev, st.st_ino};
    return true;
}

QStringList subfolderNames(const QString &folder, int limit)
{
    QStringList names;
    DIR *dir = ::opendir(encodePath(folder.isEmpty() ? QStringLiteral("/") : folder).constData());
    if (!dir)
        return names;
    while (const dirent *entry = ::readdir(dir)) {
        if (names.size() >= limit)
            break;
        const char *name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        bool isFolder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat st;
            isFolder = ::fstatat(::dirfd(dir), name, &st, 0) == 0 && S_ISDIR(st.st_mode);
        }
        if (isFolder)
            names.append(decodePath(QByteArray(name)));
    }
    ::closedir(dir);
    names.sort();
    return names;
}

}  // namespace vantorix

namespace vantorix {

bool isSystemFolder(int fd)
{
    // The magic numbers of linux/magic.h.
    constexpr unsigned long kSystemFileSystems[] = {
        0x9fa0,      // proc
        0x62656572,  // sysfs
        0x1cd1,      // devpts
        0x27e0eb,    // cgroup
        0x63677270,  // cgroup2
        0x64626720,  // debugfs
        0x74726163,  // tracefs
        0x73636673,  // securityfs
        0xcafe4a11,  // bpf
        0x62656570,  // configfs
        0x6165676c,  // pstore
    };
    struct statfs fs;
    if (::fstatfs(fd, &fs) != 0)
        return false;
    for (const unsigned long magic : kSystemFileSystems)
        if ((unsigned long)(fs.f_type) == magic)
            return true;
    // devtmpfs tells itself apart from tmpfs only by where it is mounted.
    struct stat folder, devices;
    return ::fstat(fd, &folder) == 0 && ::stat("/dev", &devices) == 0 && folder.st_dev == devices.st_dev
           && devices.st_dev != 0 && ::stat("/", &devices) == 0 && folder.st_dev != devices.st_dev;
}

}  // namespace vantorix
