#include "rom/RomFolder.h"

#include "platform/FileDescriptor.h"
#include "platform/FilePath.h"
#include "rom/GameListEntry.h"
#include "platform/IoError.h"
#include "rom/FileListing.h"
#include "rom/NameOrder.h"

#include <QCoreApplication>
#include <QHash>

#include <algorithm>
#include <memory>
#include <cerrno>
#include <set>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
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

// Calls visit for each entry of the folder fd (read through a descriptor
// of its own), at most RomFolder::kMaxListedEntries of them: a listing
// never runs without end. Throws IoError when it cannot be listed.
template <typename Visit>
void forEachEntry(int fd, Visit visit)
{
    FileDescriptor listing(::openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (listing.get() < 0)
        throw IoError::fromErrno(errno);
    // Closed however the visit ends.
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(::fdopendir(listing.get()), ::closedir);
    if (!dir)
        throw IoError::fromErrno(errno);
    listing.release();  // the stream owns it now
    errno = 0;
    size_t seen = 0;
    while (const dirent *entry = ::readdir(dir.get())) {
        visit(entry);
        errno = 0;
        if (++seen >= RomFolder::kMaxListedEntries)
            break;
    }
    const int err = errno;
    if (err != 0)
        throw IoError::fromErrno(err);
}

// A folder's entries read in one listing: the matching files, the folders
// below it, and the links to folders. Throws IoError when it cannot be
// listed.
void listFolder(int fd, const std::vector<QByteArray> &patterns, std::vector<QByteArray> *files,
                std::vector<QByteArray> *folders, std::vector<QByteArray> *links)
{
    forEachEntry(fd, [&](const dirent *entry) {
        if (isHidden(entry))
            return;
        const bool wanted = matchesAny(entry->d_name, patterns);
        // A folder's name rarely matches a ROM mask: most entries are told
        // apart by their type alone.
        const Kind kind = wanted || entry->d_type != DT_REG ? kindOf(fd, entry) : Kind::File;
        if (kind == Kind::File && wanted) {
            files->emplace_back(entry->d_name);
        } else if (kind == Kind::Folder) {
            struct stat st;
            const bool link = entry->d_type == DT_LNK
                              || (entry->d_type == DT_UNKNOWN
                                  && ::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0
                                  && S_ISLNK(st.st_mode));
            (link ? links : folders)->emplace_back(entry->d_name);
        }
    });
}

// Walks a folder tree depth first, through descriptors, so that a folder
// renamed meanwhile is never mistaken for another. Links to folders are
// followed once every real folder is walked, so that a folder reached both
// ways is listed by its own path.
class TreeWalker {
public:
    TreeWalker(const std::vector<QByteArray> &patterns, int maxDepth, size_t maxFiles, FolderTree &tree,
               const std::function<bool(const std::vector<QByteArray> &)> &onFolder)
        : patterns_(patterns), maxDepth_(maxDepth), maxFiles_(maxFiles), tree_(tree), onFolder_(onFolder)
    {
    }

    void walkAll(int rootFd)
    {
        if (!walk(rootFd, QByteArray(), QString(), 0))
            return;
        // A link leads out of the tree once: the links found in a folder
        // reached through one are not followed (/proc/PID/cwd would lead
        // round the whole disk).
        viaLink_ = true;
        for (size_t i = 0; i < linked_.size(); ++i) {
            const Linked link = linked_[i];
            const FileDescriptor sub = enter(rootFd, link.path.chopped(1), link.path);
            if (sub.get() < 0)
                continue;
            if (!walk(sub.get(), link.path, link.entryPrefix, link.depth))
                return;
        }
    }

private:
    struct Linked {
        QByteArray path;  // below the root, with a closing "/"
        QString entryPrefix;
        int depth;
    };

    // Opens name below fd as a folder that can be entered; a failure is
    // recorded as the folder path's and gives no descriptor (-1).
    FileDescriptor enter(int fd, const QByteArray &name, const QByteArray &path)
    {
        FileDescriptor sub(::openat(fd, name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (sub.get() < 0 || ::faccessat(sub.get(), ".", X_OK, AT_EACCESS) != 0) {
            tree_.skipped.emplace_back(path, IoError::fromErrno(errno).text());
            return FileDescriptor(-1);
        }
        return sub;
    }

    // Returns false once the walk must stop (enough files).
    bool walk(int fd, const QByteArray &path, const QString &entryPrefix, int depth)
    {
        struct stat st;
        if (::fstat(fd, &st) != 0 || !visited_.insert({st.st_dev, st.st_ino}).second)
            return true;  // walked already: a loop, or a second way to it
        if (isSystemFolder(fd)) {
            const IoError refused = IoError::systemFolder();
            if (depth == 0)
                throw refused;
            tree_.skipped.emplace_back(path, refused.text());
            return true;
        }
        std::vector<QByteArray> files;
        std::vector<QByteArray> folders;
        std::vector<QByteArray> links;
        try {
            listFolder(fd, patterns_, &files, &folders, &links);
        } catch (const IoError &error) {
            if (depth == 0)
                throw;
            tree_.skipped.emplace_back(path, error.text());
            return true;
        }
        tree_.entryPrefixes.insert(path, entryPrefix);
        const size_t before = tree_.files.size();
        for (QByteArray &name : files) {
            if (tree_.files.size() >= maxFiles_) {
                tree_.cutShort = true;
                return false;
            }
            tree_.files.push_back(path + name);
        }
        if (onFolder_) {
            const std::vector<QByteArray> found(tree_.files.begin() + qsizetype(before), tree_.files.end());
            if (!onFolder_(found)) {
                tree_.stopped = true;
                return false;
            }
        }
        // In name order, so that a walk cut short always lists the same
        // files.
        std::sort(folders.begin(), folders.end());
        std::sort(links.begin(), links.end());
        std::vector<QByteArray> siblings = folders;
        siblings.insert(siblings.end(), links.begin(), links.end());
        const FolderEntryParts parts(siblings);
        const auto entryPart = [&](const QByteArray &name) { return parts.partOf(name); };
        const bool tooDeep = depth + 1 > maxDepth_;
        for (const QByteArray &name : links) {
            if (viaLink_)
                tree_.skipped.emplace_back(path + name + '/', QCoreApplication::translate(
                                                                  "RomFolder", "a link inside a linked folder"));
            else if (tooDeep)
                skipTooDeep(path + name + '/');
            else
                linked_.push_back({path + name + '/', entryPrefix + entryPart(name), depth + 1});
        }
        for (const QByteArray &name : folders) {
            const QByteArray below = path + name + '/';
            if (tooDeep) {
                skipTooDeep(below);
                continue;
            }
            const FileDescriptor sub = enter(fd, name, below);
            if (sub.get() < 0)
                continue;
            if (!walk(sub.get(), below, entryPrefix + entryPart(name), depth + 1))
                return false;
        }
        return true;
    }

    void skipTooDeep(const QByteArray &path)
    {
        tree_.skipped.emplace_back(
            path, QCoreApplication::translate("RomFolder", "more than %n folder(s) deep", nullptr, maxDepth_));
    }

    const std::vector<QByteArray> &patterns_;
    const int maxDepth_;
    const size_t maxFiles_;
    FolderTree &tree_;
    const std::function<bool(const std::vector<QByteArray> &)> &onFolder_;
    std::set<std::pair<dev_t, ino_t>> visited_;
    std::vector<Linked> linked_;
    bool viaLink_ = false;
};

std::vector<QByteArray> patternsOf(const QString &mask)
{
    std::vector<QByteArray> patterns;
    for (const QString &pattern : maskPatterns(mask))
        patterns.push_back(pattern.toUtf8());
    return patterns;
}

}  // namespace

FolderEntryParts::FolderEntryParts(const std::vector<QByteArray> &siblings)
{
    for (const QByteArray &name : siblings)
        ++alike_[letterCaseKey(displayPath(decodePath(name)))];
}

QString FolderEntryParts::partOf(const QByteArray &name) const
{
    const QString shown = displayPath(decodePath(name));
    return (alike_.value(letterCaseKey(shown)) > 1 ? shown : upperCaseLetterwise(shown)) + QLatin1Char('/');
}

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
    std::vector<QByteArray> names;
    forEachEntry(fd_, [&](const dirent *entry) {
        if (keep(entry))
            names.emplace_back(entry->d_name);
    });
    return names;
}

FolderTree RomFolder::matchingTree(const QString &mask, int maxDepth, size_t maxFiles,
                                   const std::function<bool(const std::vector<QByteArray> &)> &onFolder) const
{
    const std::vector<QByteArray> patterns = patternsOf(mask);
    FolderTree tree;
    TreeWalker(patterns, maxDepth, maxFiles, tree, onFolder).walkAll(fd_);
    return tree;
}

std::vector<QByteArray> RomFolder::matchingFiles(const QString &mask) const
{
    const std::vector<QByteArray> patterns = patternsOf(mask);
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
