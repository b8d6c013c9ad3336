#pragma once

#include "rom/FileStamp.h"
#include "pictures/GamePictures.h"
#include "platform/ReadWaiters.h"

#include <QCache>
#include <QObject>
#include <QString>

#include <functional>
#include <list>
#include <optional>
#include <utility>

namespace vantorix {

class Catalogue;

// What resting on a file shows: its details, and the picture of the game
// found on disk (its box art, else its title screen), or where one may be
// downloaded from when none is.
struct DetailToolTip {
    QString text;
    QString picture;
    PictureQuery downloadable;  // empty: the databases do not know the game
};

// The details tool-tips of the files the pointer rested on. Details need
// the whole ROM (its checksums and CRC32), and an 8 MiB game in a 7z
// archive takes long to unpack: each is read on the catalogue's executor,
// named from its databases, handed back
// on the thread of the context, and kept for the file as it was, so that
// resting on it again costs nothing until the file changes.
class GameDatabase;
struct CartridgeDetails;

// What the pictures of the cartridge at path are looked for by: its name
// in the databases, else its file name.
PictureQuery pictureQueryOf(const QString &path, const CartridgeDetails &details, const GameDatabase &databases);

// Reads the details of the file at path and looks for its picture on disk;
// slow: not for the window's thread.
DetailToolTip detailToolTipWithPicture(const QString &path, const GameDatabase &databases);

class DetailToolTips {
public:
    static constexpr int kKept = 64;

    explicit DetailToolTips(Catalogue &catalogue) : catalogue_(catalogue) {}

    // The tool-tip of path as it was read; a file changed since is read
    // again at the call after the change is seen (the check runs on the
    // executor, as a drive may keep a stat waiting).
    std::optional<DetailToolTip> cached(const QString &path);

    // Reads the tool-tip of path off this thread; ready receives it on
    // context's thread unless context is gone by then. A file already being
    // read is not read twice; ready is then called when that read ends.
    void request(const QString &path, QObject *context, std::function<void(const DetailToolTip &)> ready);

    // Forgets every tool-tip (the databases that named them changed);
    // readings under way hand theirs to their waiters but keep none.
    void clear();

private:
    struct Known {
        FileStamp stamp;
        DetailToolTip tip;
    };

    void finish(const QString &path, const Known &known, quint64 generation);

    Catalogue &catalogue_;
    QCache<QString, Known> known_{kKept};  // the most recently used
    ReadWaiters<DetailToolTip> reading_;
    quint64 generation_ = 0;  // counts the clears
};

}  // namespace vantorix
