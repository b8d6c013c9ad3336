#include "catalogue/Catalogue.h"

#include "catalogue/DetailToolTips.h"
#include "catalogue/HashCache.h"

#include <QThread>

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

void Catalogue::reloadDatabases()
{
    auto fresh = std::make_shared<const LoadedGameDatabases>(loadGameDatabases(gameDatabaseFiles(datFiles_)));
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        loaded_ = std::move(fresh);
    }
    Q_EMIT databasesChanged();
}

int Catalogue::addUserDatabase(const QString &path, QString *databaseName)
{
    const int games = copyUserDatabase(path, databaseName);
    // Read again in the usual order, so that this run names games as the
    // next one will.
    reloadDatabases();
    return games;
}

void Catalogue::waitForTasks()
{
    executor_.waitForDone();
}

}  // namespace vantorix
