#pragma once

#include "rom/FileStamp.h"
#include "names/GameDatabase.h"
#include "names/HashCache.h"

#include <memory>
#include <optional>

namespace vantorix {

class Catalogue;
struct HeadResult;

// Names the games of one pass over a folder: the catalogue reads the
// databases on its executor meanwhile, the keys the cache knows for the folder go
// to the readers (knownKeys), and the keys of every file the pass saw go
// back to the cache at the end (rememberKeys). cacheWaitMs: how long to wait
// for a cache another program holds (0 on the window's thread).
class GameNaming {
public:
    GameNaming(Catalogue &catalogue, int folderFd, int cacheWaitMs = HashCache::kCommandLineWaitMs);
    ~GameNaming();
    GameNaming(const GameNaming &) = delete;
    GameNaming &operator=(const GameNaming &) = delete;

    const HashCache::Keys *knownKeys() const { return &knownKeys_; }
    // The game the databases know the file read as, or null; its key is
    // kept for the cache.
    const KnownGame *gameOf(const HeadResult &read);
    // The databases, once read.
    const LoadedGameDatabases &databases();
    void rememberKeys();
    // Whether the cache was held by another program, so that this pass
    // went without it.
    bool cacheBusy() const { return cache_ && cache_->wasBusy(); }

private:
    Catalogue &catalogue_;
    std::shared_ptr<const LoadedGameDatabases> databases_;
    std::optional<HashCache> cache_;
    FileStamp folder_;
    HashCache::Keys knownKeys_;
    HashCache::Keys seenKeys_;
};

}  // namespace vantorix
