#pragma once

#include "pictures/GamePictures.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace vantorix {

// Fetches the pictures of games the disk lacks, from wherever they are
// served. The network lies above the core: whoever makes a catalogue that
// may download hands it a way to make one (Catalogue::allowPictureDownloads),
// so that a program that never downloads never loads the network's
// libraries.
class PictureFetcher {
public:
    virtual ~PictureFetcher() = default;
    // Fetches the first picture of that kind the server has for the query
    // (each system and name in turn); done receives its path on disk, or
    // nothing, on the fetcher's thread unless context is gone.
    virtual void fetch(const PictureQuery &query, PictureKind kind, QObject *context,
                       std::function<void(const QString &)> done) = 0;
};

class Executor;
// Makes a fetcher that writes what it fetched on the executor given.
using PictureFetcherMaker = std::function<std::unique_ptr<PictureFetcher>(Executor &)>;

// Where the downloads' failures are written, one line each.
QString pictureDownloadLogPath(const QString &cacheRoot = pictureCacheRoot());

}  // namespace vantorix
