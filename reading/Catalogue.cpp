#include "reading/Catalogue.h"

#include "reading/DetailToolTips.h"
#include "names/HashCache.h"
#include "rom/HeadReader.h"

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
      // Its tasks wait on drives, not on the processor: sized for a
      // folder's readers (HeadReader), and as many again as the readers
      // leave free, so that a tool-tip is not kept waiting behind the
      // reading of a folder.
      executor_(HeadReader::kThreads + qMax(HeadReader::kSpareThreads, QThread::idealThreadCount())),
      toolTips_(std::make_unique<DetailToolTips>(*this))
{
}

Catalogue::~Catalogue()
{
    executor_.waitForDone();
}

std::shared_ptr<const LoadedGameDatabases> Catalogue::databases() const
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (loaded_)
            return loaded_;
    }
    // One reading at a time; whoever comes meanwhile waits for it. The
    // pointer's own lock is not held while reading: a newer reading taken
    // meanwhile (takeDatabases, on the window's thread) never waits.
    const std::lock_guard<std::mutex> reading(firstReading_);
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (loaded_)
            return loaded_;
    }
    auto fresh = std::make_shared<const LoadedGameDatabases>(loadGameDatabases(gameDatabaseFiles(datFiles_)));
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!loaded_)
        loaded_ = std::move(fresh);
    return loaded_;
}

void Catalogue::preloadDatabases()
{
    if (preloading_.exchange(true))
        return;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (loaded_)
            return;
    }
    // A pass that needs them meanwhile waits for this reading, or reads
    // them itself when this task has not begun.
    executor_.start([this] { databases(); });
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
    runThenHandBack(
        this,
        [this] {
            FilesSeen seen = databaseFilesNow();
            return std::make_pair(
                std::make_shared<const LoadedGameDatabases>(loadGameDatabases(gameDatabaseFiles(datFiles_))), seen);
        },
        [this, generation](const auto &read) { takeDatabases(read.first, read.second, generation); });
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

void Catalogue::addUserDatabaseInBackground(const QString &path, QObject *context,
                                            std::function<void(const AddedDatabase &)> done)
{
    const quint64 generation = ++databaseGeneration_;
    using Read = std::pair<AddedDatabase, std::shared_ptr<const LoadedGameDatabases>>;
    runThenHandBack(
        this,
        [this, path] {
            Read read;
            try {
                read.first.games = copyUserDatabase(path, &read.first.name, &read.first.roms);
                read.second = std::make_shared<const LoadedGameDatabases>(loadGameDatabases(gameDatabaseFiles(datFiles_)));
            } catch (...) {
                read.first.failure = std::current_exception();
            }
            return std::make_pair(read, databaseFilesNow());
        },
        [this, generation, context = QPointer<QObject>(context), done = std::move(done)](
            const std::pair<Read, FilesSeen> &result) {
            const auto &[read, seen] = result;
            if (read.second)
                takeDatabases(read.second, seen, generation);
            if (context)
                done(read.first);
        });
}

PictureFetcher *Catalogue::pictureDownloads()
{
    if (!downloads_ && downloadsMaker_)
        downloads_ = downloadsMaker_(executor_);
    return downloads_.get();
}

void Catalogue::waitForTasks()
{
    executor_.waitForDone();
}

}  // namespace vantorix
