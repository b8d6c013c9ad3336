#pragma once

#include "catalogue/FileStamp.h"
#include "catalogue/GameDatabase.h"
#include "catalogue/HashCache.h"

#include <future>
#include <memory>
#include <optional>

namespace vantorix {

struct HeadResult;

// Names the games of one pass over a folder: the databases are read on a
// thread of their own meanwhile, the keys the cache knows for the folder go
// to the readers (knownKeys), and the keys read whole go back to the cache
// at the end (rememberKeys).
class GameNaming {
public:
    explicit GameNaming(int folderFd);

    const HashCache::Keys *knownKeys() const { return &knownKeys_; }
    // The game the databases know the file read as, or null; a key read
    // whole now is kept for the cache.
    const KnownGame *gameOf(const HeadResult &read);
    // The databases, once read.
    const LoadedGameDatabases &databases();
    void rememberKeys();

private:
    std::future<std::shared_ptr<const LoadedGameDatabases>> loading_;
    std::shared_ptr<const LoadedGameDatabases> databases_;
    std::optional<HashCache> cache_;
    FileStamp folder_;
    HashCache::Keys knownKeys_;
    HashCache::Keys freshKeys_;
};

}  // namespace vantorix
