#include "library/LibraryWatch.h"

#include "platform/FilePath.h"

#include <utility>

#include <sys/stat.h>

namespace vantorix {

LibraryWatch::LibraryWatch(QObject *parent, int mostWatched) : QObject(parent), mostWatched_(mostWatched)
{
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, [this] {
        QStringList folders;
        for (const QString &folder : libraryFolders_)
            for (const QString &path : std::as_const(changed_))
                if ((path == folder || path.startsWith(folder + QLatin1Char('/'))) && !folders.contains(folder))
                    folders.append(folder);
        const bool refollow = foldersMayHaveChanged(changed_);
        changed_.clear();
        if (!folders.isEmpty()) {
            if (refollow)
                watch(libraryFolders_);  // folders made or removed meanwhile
            Q_EMIT foldersChanged(folders);
        }
    });
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, [this] { Q_EMIT foldersChanged(libraryFolders_); });
}

void LibraryWatch::addTree(const QString &folder, QStringList *paths) const
{
    // Breadth first, bounded: a maze of folders never runs on.
    QStringList level{folder};
    for (int depth = 0; depth < 32 && !level.isEmpty() && paths->size() < mostWatched_; ++depth) {
        QStringList next;
        for (const QString &path : std::as_const(level)) {
            if (paths->contains(path) || paths->size() >= mostWatched_)
                continue;
            paths->append(path);
            for (const QString &name : subfolderNames(path, mostWatched_))
                next.append(path + QLatin1Char('/') + name);
        }
        level = next;
    }
}

void LibraryWatch::watch(const QStringList &libraryFolders)
{
    libraryFolders_ = libraryFolders;
    delete watcher_;
    watcher_ = new QFileSystemWatcher(this);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &LibraryWatch::noteChange);
    QStringList paths;
    for (const QString &folder : libraryFolders)
        addTree(folder, &paths);
    QStringList faithful;
    links_.clear();
    for (const QString &path : std::as_const(paths)) {
        if (!isFaithfulPath(path))
            continue;
        faithful.append(path);
        struct stat st;
        if (::stat(encodePath(path).constData(), &st) == 0)
            links_.insert(path, quint64(st.st_nlink));
    }
    const QStringList refused = faithful.isEmpty() ? QStringList() : watcher_->addPaths(faithful);
    const bool short_ = !refused.isEmpty() || paths.size() >= mostWatched_ || faithful.size() < paths.size();
    if (short_ && !poll_.isActive()) {
        poll_.start();
        if (!std::exchange(limitSaid_, true))
            Q_EMIT limitReached();
    } else if (!short_) {
        poll_.stop();
    }
}

bool LibraryWatch::foldersMayHaveChanged(const QSet<QString> &changed) const
{
    // A folder's link count is 2 and one for each folder in it, where the
    // file system keeps it so (not btrfs: 1): files coming and going leave
    // it as it was, and the large folder they are in is not listed again.
    for (const QString &path : changed) {
        struct stat st;
        if (::stat(encodePath(path).constData(), &st) != 0 || st.st_nlink <= 1
            || links_.value(path) != quint64(st.st_nlink))
            return true;
    }
    return false;
}

void LibraryWatch::noteChange(const QString &path)
{
    changed_.insert(path);
    settle_.start();
}

}  // namespace vantorix
