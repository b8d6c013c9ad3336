#include "catalogue/GameNaming.h"

#include "catalogue/Catalogue.h"
#include "catalogue/HeadReader.h"

#include <sys/stat.h>

namespace vantorix {

GameNaming::GameNaming(Catalogue &catalogue, int folderFd, int cacheWaitMs) : catalogue_(catalogue)
{
    catalogue.preloadDatabases();
    struct stat st;
    if (::fstat(folderFd, &st) != 0)
        return;  // no cache: every file is read whole
    folder_ = FileStamp::of(st);
    cache_.emplace(catalogue.hashCachePath(), cacheWaitMs);
    knownKeys_ = cache_->keysOf(folder_);
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
    if (cache_)
        cache_->remember(folder_, seenKeys_);
    seenKeys_.clear();
}

}  // namespace vantorix
