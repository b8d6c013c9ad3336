#pragma once

#include "platform/FilePath.h"
#include "rom/FileStamp.h"
#include "rom/RomKey.h"

#include <QHash>
#include <QSet>

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <optional>
#include <vector>

namespace vantorix {

class Catalogue;

// A game of the library as its file and the databases tell it.
struct LibraryGame {
    QString path;     // absolute, as reached through its library folder
    // Its folder's real path and its name, where that differs from path
    // (a linked folder): the key its plays and favourite are kept under.
    QString realPath;
    QString folder;   // the library folder it was found in
    QString name;     // the database's name, else the header's title, else the file's name
    // What the library's sort and filter compare, made with the game (off
    // the window's thread), in one block: the name folded with its numbers
    // padded (the first sortKeyLength bytes), then the name and file's name
    // folded. 100,000 games are what the library's window holds.
    QByteArray keys;
    FileStamp stamp;  // the file as it was read: a later pass skips it while it is the same
    qint64 size = 0;  // of the ROM itself (an archive's chosen entry, no copier header)
    quint32 crc32 = 0;
    quint32 sortKeyLength = 0;
    bool colour = false;  // made for the Game Boy Color (flag 0x80 or 0xC0)
    bool hasCrc = false;
    bool verified = false;  // a database knows the CRC32 and size

    QString system() const { return colour ? QStringLiteral("GBC") : QStringLiteral("GB"); }
    // From the database's name: "USA, Europe" (none for a name it does not know).
    QString region() const;
    QByteArrayView sortKey() const { return QByteArrayView(keys).first(sortKeyLength); }
    QByteArrayView filterKey() const { return QByteArrayView(keys).sliced(sortKeyLength); }
    // The ROM's key, where its CRC32 could be read: what its history and
    // its copies go by.
    RomKey content() const { return hasCrc ? RomKey{crc32, size} : RomKey{}; }
    const QString &historyKey() const { return realPath.isEmpty() ? path : realPath; }
};

// A place a pass reads: a folder below (or at) a library folder, with its
// subfolders or alone (a folder whose files changed).
struct LibraryPlace {
    QString directory;
    QString libraryFolder;
    bool subfolders = true;

    // Whether a game at path lies in this place.
    bool holds(const QString &path) const;
};

// A game as the rows list it: what a pass over some places needs to tell
// what changed.
struct LibraryListed {
    QString path;
    FileStamp stamp;
};

// What a pass over some places changes in the rows.
struct LibraryChange {
    QSet<QString> removed;           // paths whose rows go (gone, or changed and read again)
    std::vector<LibraryGame> added;  // games read (new, or changed)
    QStringList problems;
};

// Reads the places again against the rows listed now (taken at once on
// the window's thread, read here on another): files as they were are not
// read, and a file the rows list through another place is not added twice.
LibraryChange rescanPlaces(const std::vector<LibraryPlace> &places, const std::vector<LibraryListed> &rows,
                           Catalogue &catalogue, const std::atomic<bool> *cancelled = nullptr);

// The game of the one file at path, read as a pass reads it (its key from
// the hash cache where the file is as it was): nothing where it is no ROM
// or cannot be read. threads 0 reads on the caller's thread alone.
std::optional<LibraryGame> readLibraryGame(const QString &path, Catalogue &catalogue, int cacheWaitMs = 200);

// Games handed over as a pass reads them: whoever takes them may move them
// out (they are cleared after).
using LibraryBatch = std::function<void(std::vector<LibraryGame> &)>;

// The region of a No-Intro name: its first parenthesised part ("Tetris
// (World) (Rev 1)" gives "World"); empty when it has none.
QString regionOfName(const QString &name);

// Reads every ROM file (plain, zip, 7z) under the folders, subfolders
// included, each file once however many folders or links reach it, named
// from the catalogue's databases with the keys its hash cache knows (a
// second look reads no file whole again). Given batch, the games go to it
// as they are read, on this thread, and none is returned (a list of
// 100,000 is held once, by whoever takes the batches); cancelled, when
// set, stops the pass.
// Files and folders that cannot be read are left out, each said in
// problems ("path: reason").
std::vector<LibraryGame> scanLibrary(const QStringList &folders, Catalogue &catalogue, QStringList *problems,
                                     const LibraryBatch &batch = {},
                                     const std::atomic<bool> *cancelled = nullptr, int cacheWaitMs = 200);
// The same over places: the games of each are told as found through its
// library folder. A file in known (the games a pass read before, by path)
// that is still as it was then is not read again: its path goes to
// unchanged instead, so that one file copied into a folder of 100,000
// reads one file.
std::vector<LibraryGame> scanLibraryPlaces(const std::vector<LibraryPlace> &places, Catalogue &catalogue,
                                           QStringList *problems,
                                           const LibraryBatch &batch = {},
                                           const std::atomic<bool> *cancelled = nullptr, int cacheWaitMs = 200,
                                           const QHash<QString, FileStamp> *known = nullptr,
                                           QStringList *unchanged = nullptr);

}  // namespace vantorix
