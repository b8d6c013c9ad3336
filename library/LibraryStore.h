#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include "rom/RomKey.h"

#include <functional>
#include <utility>

// What the library keeps of the user's: the folders it lists, how often and
// when each game was played, and the favourites. One small text file in the
// user's data folder ($XDG_DATA_HOME/vantorix/library.txt, never the cache,
// which a user may clear), written whole and atomically, and changed under
// a lock: a read, a change and a write at once, so that the window and
// kelpad started from a file manager never lose each other's plays.
//
// It is the user's own history, so it is never written over unless it was
// read whole: only a store that is not there starts anew. One that cannot
// be read, is too large, is no store of ours or was written by a newer
// version refuses every change with the reason. Lines and fields this
// version does not know are written back as they were. A link at its place
// (a dotfiles manager's) is followed when it leads to a store, and the
// store changed there; a link to anything else is refused.
namespace vantorix {

struct PlayRecord {
    qint64 count = 0;
    QDateTime last;    // UTC
    QByteArray extra;  // fields after the known ones, as read ("\t..." or empty)
    qint64 seconds = 0;  // played in all, from each emulator's start to its end
};

// A start of a game (seconds < 0), or the end of one that ran seconds.
// content: the ROM's key where it could be read (the history is kept by
// it); emulator: the slot's program text it was started with.
struct PlayEvent {
    QString game;
    QDateTime when;
    qint64 seconds = -1;
    RomKey content;
    QString emulator;
};

// What the library keeps of one game, by its content (the ROM's CRC32 and
// size): the game renamed, moved, zipped or found on another disk keeps
// its plays, time, favourite and emulator.
struct GameHistory {
    RomKey content;
    QString lastPath;   // where it was last played or liked
    PlayRecord play;
    bool favourite = false;
    QString emulator;   // the slot's program text it was last played with
    QByteArray extra;   // fields after the known ones, as read
};

// The ROM's key of the file at path (invalid where it cannot be read):
// how a change carries records kept by path over to the game's content.
using ContentOf = std::function<RomKey(const QString &path)>;

class LibraryStore {
public:
    // The version this program writes, and reads with every older one.
    // 1 kept everything by path; 2 keeps a game's history by its content,
    // and a record by path only for a file whose content was not known.
    static constexpr int kVersion = 2;

    static QString defaultPath();

    // The store as it is on disk now, for showing: what could be taken
    // from it, never a failure. problem says why a store that is there
    // could not be read whole (and so will not be changed).
    static LibraryStore read(const QString &path = defaultPath());
    // The same for a change: throws IoError when the store is there but
    // could not be read whole, or is of a newer version. A store that is
    // not there reads as an empty one.
    static LibraryStore readForChange(const QString &path = defaultPath());

    QStringList folders;                    // absolute, in the order added
    QHash<QString, PlayRecord> plays;       // by the game's real path
    QSet<QString> favourites;               // real paths
    // By content: what a change carried over from the records by path.
    QHash<std::pair<quint32, qint64>, GameHistory> games;
    // What this version does not know, kept to be written back: whole
    // lines, and the fields after the known ones of a folder or favourite.
    QByteArrayList unknownLines;
    QHash<QString, QByteArray> folderExtra;
    QHash<QString, QByteArray> favouriteExtra;
    int version = kVersion;  // of the store read
    QString problem;         // set by read(): why the store cannot be changed

    // The store's text: a header line, then a line a record, paths
    // percent-encoded (their bytes, so that any name comes back).
    QByteArray serialize() const;
    // Throws IoError for bytes that are no store of ours (an empty file is
    // an empty store). Line ends of CR LF are read as LF.
    static LibraryStore parse(const QByteArray &bytes);

    // Records spelled another way for the same file ("roms/./A.GB", a
    // linked folder) as one, under the file's real path: counts added up,
    // the later time kept. A file that is not there keeps its spelling.
    void mergeSpellings();
    // The key a game's history is kept under: its real path where the file
    // is there, else the path made absolute and clean.
    static QString keyOf(const QString &gamePath);
    // Moves the records by path whose file's content is known now into the
    // game's history by content (added to what is there).
    void carryOver(const ContentOf &contentOf);

    // What is kept of a game: by its content, with what is still kept by
    // its path added (historyKey: LibraryGame::historyKey()).
    PlayRecord playOf(const QString &historyKey, const RomKey &content) const;
    bool isFavourite(const QString &historyKey, const RomKey &content) const;
    QString emulatorOf(const RomKey &content) const;
    const GameHistory *historyOf(const RomKey &content) const;

    // Each change: the file read again under the lock, changed, written.
    // Throws IoError when the store cannot be read whole or written.
    // The folders not in yet are added; returns those added. The sample
    // games' folder (samples) stands in only until the user adds a folder
    // of their own, which takes its place.
    static QStringList addFolders(const QStringList &folders, const QString &path = defaultPath(),
                                  bool samples = false);
    // False when the folder was not in the library.
    static bool removeFolder(const QString &folder, const QString &path = defaultPath());
    static void recordPlay(const QString &game, const QDateTime &when = QDateTime::currentDateTimeUtc(),
                           const QString &path = defaultPath(), int lockWaitMs = kLockWaitMs);
    // Starts and ends of games, in one change.
    static void recordPlays(const QList<PlayEvent> &played, const QString &path = defaultPath(),
                            int lockWaitMs = kLockWaitMs, const ContentOf &contentOf = {});
    // Returns whether the game is a favourite now. content: the game's ROM
    // key, where known.
    static bool toggleFavourite(const QString &game, const QString &path = defaultPath(),
                                const RomKey &content = {}, const ContentOf &contentOf = {});

    // How long a change waits for another program's.
    static constexpr int kLockWaitMs = 5000;
};

}  // namespace vantorix
