#include "catalogue/RomFolder.h"

#include "app/FilePath.h"
#include "app/IoError.h"
#include "catalogue/FileListing.h"
#include "catalogue/NameOrder.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantorix {

namespace {

enum class Kind { File, Folder, Other };

Kind kindOf(int dirFd, const dirent *entry)
{
    switch (entry->d_type) {
    case DT_REG:
        return Kind::File;
    case DT_DIR:
        return Kind::Folder;
    case DT_LNK:
    case DT_UNKNOWN: {
        // Follow the link; one that leads nowhere is no file.
        struct stat st;
        if (::fstatat(dirFd, entry->d_name, &st, 0) != 0)
            return Kind::Other;
        return S_ISREG(st.st_mode) ? Kind::File : S_ISDIR(st.st_mode) ? Kind::Folder : Kind::Other;
    }
    default:
        return Kind::Other;
    }
}

// Hidden names, and "." and "..".
bool isHidden(const dirent *entry)
{
    return entry->d_name[0] == '.';
}

bool wildcardMatch(const char *pattern, const char *pe, const char *name, const char *ne)
{
    // Greedy matching with backtracking to the last star.
    const char *star = nullptr;
    const char *resume = nullptr;
    while (name < ne) {
        if (pattern < pe && (*pattern == '?' || asciiLower(*pattern) == asciiLower(*name))) {
            ++pattern;
            ++name;
        } else if (pattern < pe && *pattern == '*') {
            star = pattern++;
            resume = name;
        } else if (star) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (pattern < pe && *pattern == '*')
        ++pattern;
    return pattern == pe;
}

// Whether a name matches one of the patterns ("*" and "?" wildcards, ASCII
// letters in either case).
bool matchesAny(const char *name, const std::vector<QByteArray> &patterns)
{
    const char *end = name + std::strlen(name);
    for (const QByteArray &p : patterns) {
        if (wildcardMatch(p.constData(), p.constData() + p.size(), name, end))
            return true;
    }
    return false;
}

}  // namespace

RomFolder::RomFolder(const QString &path) : path_(path.isEmpty() ? QStringLiteral(".") : path)
{
    fd_ = ::open(encodePath(path_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0)
        throw IoError::fromErrno(errno);
    // A folder with read but no search right can be listed, but none of its
    // files can be opened.
    if (::faccessat(fd_, ".", X_OK, AT_EACCESS) != 0) {
        const int err = errno;
        ::close(fd_);
        throw IoError::fromErrno(err);
    }
}

RomFolder::~RomFolder()
{
    ::close(fd_);
}

template <typename Keep>
std::vector<QByteArray> RomFolder::list(Keep keep) const
{
    const int listing = ::openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0)
        throw IoError::fromErrno(errno);
    DIR *dir = ::fdopendir(listing);
    if (!dir) {
        const int err = errno;
        ::close(listing);
        throw IoError::fromErrno(err);
    }
    std::vector<QByteArray> names;
    errno = 0;
    size_t seen = 0;
    while (const dirent *entry = ::readdir(dir)) {
        if (keep(entry))
            names.emplace_back(entry->d_name);
        errno = 0;
        // Far beyond any collection: a listing never runs without end.
        if (++seen >= kMaxListedEntries)
            break;
    }
    const int err = errno;
    ::closedir(dir);
    if (err != 0)
        throw IoError::fromErrno(err);
    return names;
}

std::vector<QByteArray> RomFolder::matchingFiles(const QString &mask) const
{
    std::vector<QByteArray> patterns;
    for (const QString &pattern : maskPatterns(mask))
        patterns.push_back(pattern.toUtf8());
    std::vector<QByteArray> names = list([&](const dirent *entry) {
        return !isHidden(entry) && matchesAny(entry->d_name, patterns) && kindOf(fd_, entry) == Kind::File;
    });
    sortNamesAsShown(names);
    return names;
}

void RomFolder::listFilesAndFolders(std::vector<QByteArray> *files, std::vector<QByteArray> *folders) const
{
    list([&](const dirent *entry) {
        if (entry->d_name[0] == '.' && (entry->d_name[1] == 0 || (entry->d_name[1] == '.' && entry->d_name[2] == 0)))
            return false;
        switch (kindOf(fd_, entry)) {
        case Kind::File:
            files->emplace_back(entry->d_name);
            break;
        case Kind::Folder:
            folders->emplace_back(entry->d_name);
            break;
        case Kind::Other:
            break;
        }
        return false;
    });
}

QStringList RomFolder::subfolders() const
{
    const std::vector<QByteArray> names = list([&](const dirent *entry) {
        return !isHidden(entry) && kindOf(fd_, entry) == Kind::Folder;
    });
    QStringList folders;
    for (const QByteArray &name : names)
        folders.append(decodePath(name));
    std::sort(folders.begin(), folders.end(), [](const QString &a, const QString &b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    return folders;
}

}  // namespace vantorix
