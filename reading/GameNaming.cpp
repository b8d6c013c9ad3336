#include "reading/GameNaming.h"

#include "reading/Catalogue.h"
#include "rom/HeadReader.h"

#include <sys/stat.h>

namespace vantorix {

GameNaming::GameNaming(Catalogue &catalogue, int folderFd, int cacheWaitMs) : catalogue_(catalogue)
{
    catalogue.preloadDatabases();
    struct stat st;
    if (::fstat(folderFd, &st) != 0)
        return;  // no cache: every file is read whole
    folder_ = FileStamp::of(st);
    // The program's own passes take turns at the cache: one of them must
    // never find it held and go without it, as it would for another
    // program.
    const std::lock_guard<std::mutex> turn(catalogue.hashCacheTurn());
    cache_.emplace(catalogue.hashCachePath(), cacheWaitMs);
    knownKeys_ = cache_->keysOf(folder_);
}

GameNaming::~GameNaming()
{
    // Closing may write the cache's journal back.
    const std::lock_guard<std::mutex> turn(catalogue_.hashCacheTurn());
    cache_.reset();
}

const LoadedGameDatabases &GameNaming::databases()
{
    if (!databases_)
        databases_ = catalogue_.databases();
    return *databases_;
}

const KnownGame *GameNaming::gameOf(const HeadResult &read)
{
    if (read.key.isValid())
        seenKeys_.insert(read.stamp, read.key);
    return databases().database.find(read.key);
}

void GameNaming::rememberKeys()
{
    const std::lock_guard<std::mutex> turn(catalogue_.hashCacheTurn());
    if (cache_)
        cache_->remember(folder_, seenKeys_);
    seenKeys_.clear();
}

}  // namespace vantorix
