#include "library/LibraryWatch.h"

#include "platform/FilePath.h"

#include <utility>

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
        changed_.clear();
        if (!folders.isEmpty()) {
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
    for (const QString &path : std::as_const(paths))
        if (isFaithfulPath(path))
            faithful.append(path);
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

void LibraryWatch::noteChange(const QString &path)
{
    changed_.insert(path);
    settle_.start();
}

}  // namespace vantorix
