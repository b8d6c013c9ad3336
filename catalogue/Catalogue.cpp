#include "catalogue/Catalogue.h"

#include "catalogue/DetailToolTips.h"
#include "catalogue/HashCache.h"
#include "catalogue/PictureDownloads.h"

#include "platform/FilePath.h"
#include "platform/IoError.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QThread>
#include <QTimer>

#include <system_error>

namespace vantorix {

Catalogue::Catalogue(const QStringList &datFiles, const QString &hashCachePath, QObject *parent)
    : QObject(parent),
      datFiles_(datFiles),
      hashCachePath_(hashCachePath.isEmpty() ? HashCache::defaultPath() : hashCachePath),
      toolTips_(std::make_unique<DetailToolTips>(*this))
{
    // Its tasks wait on drives, not on the processor: a tool-tip is not
    // kept waiting behind the reading of a folder.
    executor_.setMaxThreadCount(qMax(4, QThread::idealThreadCount()));
}

Catalogue::~Catalogue()
{
    executor_.waitForDone();
    if (preloader_.joinable())
        preloader_.join();
}

std::shared_ptr<const LoadedGameDatabases> Catalogue::databases() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!loaded_)
        loaded_ = std::make_shared<const LoadedGameDatabases>(loadGameDatabases(gameDatabaseFiles(datFiles_)));
    return loaded_;
}

void Catalogue::preloadDatabases()
{
    const std::lock_guard<std::mutex> starting(preloadMutex_);
    if (preloader_.joinable())
        return;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (loaded_)
            return;
    }
    // A thread of its own, not a task of the executor: a pass waiting for
    // the databases on the executor never waits behind their reading, and
    // a scan from the command line starts no pool at all.
    try {
        preloader_ = std::thread([this] { databases(); });
    } catch (const std::system_error &) {
        // No thread to be had: the first use reads them.
    }
}

Catalogue::FilesSeen Catalogue::databaseFilesNow() const
{
    FilesSeen seen;
    for (const QString &file : gameDatabaseFiles(datFiles_)) {
        const QFileInfo info(file);
        seen.append({file, info.size(), info.lastModified()});
    }
    return seen;
}

void Catalogue::reloadDatabases()
{
    const quint64 generation = ++databaseGeneration_;
    FilesSeen seen = databaseFilesNow();
    takeDatabases(std::make_shared<const LoadedGameDatabases>(loadGameDatabases(gameDatabaseFiles(datFiles_))),
                  std::move(seen), generation);
}

void Catalogue::takeDatabases(std::shared_ptr<const LoadedGameDatabases> fresh, FilesSeen seen, quint64 generation)
{
    // A reading begun before a later one ends after it: the later state
    // stays.
    if (generation < databaseTaken_)
        return;
    databaseTaken_ = generation;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        loaded_ = std::move(fresh);
    }
    filesRead_ = std::move(seen);
    // Details named by the old databases are no longer right.
    toolTips_->clear();
    Q_EMIT databasesChanged();
}

void Catalogue::reloadDatabasesInBackground()
{
    const quint64 generation = ++databaseGeneration_;
    executor_.start([this, generation] {
        FilesSeen seen = databaseFilesNow();
        auto fresh = std::make_shared<const LoadedGameDatabases>(loadGameDatabases(gameDatabaseFiles(datFiles_)));
        QMetaObject::invokeMethod(
            this, [this, fresh, seen, generation] { takeDatabases(fresh, seen, generation); }, Qt::QueuedConnection);
    });
}

void Catalogue::watchUserDatabases()
{
    if (watcher_)
        return;
    const QString folder = userDatFolder();
    try {
        makeFolders(folder);
    } catch (const IoError &) {
        return;  // no folder of the user's: nothing there to watch
    }
    // The folder and the one above it: a folder deleted and made again
    // (or replaced by a link) is watched again once it is back.
    const QString parent = folder.left(folder.lastIndexOf(QLatin1Char('/')));
    watcher_ = new QFileSystemWatcher(QStringList{folder, parent}, this);
    // What is there now is what the databases are (or will be) read from:
    // only a change from it is read again, not a file the program writes
    // beside the folder.
    if (filesRead_.isEmpty())
        filesRead_ = databaseFilesNow();
    auto *settle = new QTimer(this);
    settle->setSingleShot(true);
    // A copy arrives in several writes: one reading after the last.
    settle->setInterval(500);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, settle, qOverload<>(&QTimer::start));
    connect(settle, &QTimer::timeout, this, [this, folder] {
        if (!watcher_->directories().contains(folder) && QFileInfo(folder).isDir())
            watcher_->addPath(folder);
        // The program's own copy of a dropped file was read already.
        if (databaseFilesNow() != filesRead_)
            reloadDatabasesInBackground();
    });
}

int Catalogue::addUserDatabase(const QString &path, QString *databaseName, int *roms)
{
    const int games = copyUserDatabase(path, databaseName, roms);
    // Read again in the usual order, so that this run names games as the
    // next one will.
    reloadDatabases();
    return games;
}

PictureDownloads &Catalogue::pictureDownloads()
{
    if (!downloads_)
        downloads_ = new PictureDownloads(pictureCacheRoot(), this);
    return *downloads_;
}

void Catalogue::waitForTasks()
{
    executor_.waitForDone();
}

}  // namespace vantorix
