#pragma once

#include "names/DatReader.h"
#include "rom/RomKey.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <utility>
#include <vector>

// The game databases the user has: every ROM they know, by its key, with
// the name of its game and of the database that names it.
namespace vantorix {

struct KnownGame {
    QString name;
    int database = -1;
};

// A ROM as one database lists it (a ROM two databases list is listed by
// each): what an audit of a collection goes through.
struct ListedRom {
    QString game;
    quint32 crc32 = 0;
    qint64 size = 0;
    int database = -1;
};

class GameDatabase {
public:
    // Adds a DAT file's contents; a key known already keeps its first
    // name. A ROM listed before any header belongs to a database named
    // fallbackName. Returns how many games the file names.
    int add(const DatContents &contents, const QString &fallbackName);

    // Null when no database knows the key.
    const KnownGame *find(const RomKey &key) const;
    // "Nintendo - Game Boy (20220828-205130)"; the name alone without a
    // version.
    QString databaseText(int database) const;
    // Whether any database was read at all.
    bool isEmpty() const { return databases_.empty(); }
    int gameCount() const { return int(games_.size()); }
    int databaseCount() const { return int(databases_.size()); }
    // Every ROM of every database, in the order the files list them.
    const std::vector<ListedRom> &listedRoms() const { return listed_; }

private:
    std::vector<ListedRom> listed_;
    std::vector<DatHeader> databases_;
    QHash<std::pair<quint32, qint64>, KnownGame> games_;
};

// The title of an entry for a game the databases name: the name whole,
// control characters removed (composeEntry sets a long one apart).
QString entryTitleOfGame(const QString &name);

// The largest DAT file read: far beyond every system's list.
constexpr qint64 kMaxDatBytes = qint64(256) << 20;

// The user's own folder of DAT files: $XDG_DATA_HOME/vantorix/dat.
QString userDatFolder();

// The DAT files in the order they are asked: extra (given on the command
// line), every *.dat and *.xml of the user's folder and then of each
// $XDG_DATA_DIRS folder's vantorix/dat, in name order, then Debian's mGBA
// list when it is there.
QStringList gameDatabaseFiles(const QStringList &extra);

// The databases read, and each file refused with its reason
// ("FILE:LINE: reason").
struct LoadedGameDatabases {
    GameDatabase database;
    QStringList problems;
    // Files read with games left out: "FILE:LINE: reason (N games)", the
    // first such game's line.
    QStringList gamesLeftOut;
};

// Reads the files into databases. Never throws for a file: a file that
// cannot be read or is no DAT is named among the problems and skipped.
LoadedGameDatabases loadGameDatabases(const QStringList &files);

// Reads a dropped DAT file and copies it into the user's folder (under a
// free name). Returns how many games it names; roms receives how many ROMs
// it lists (several may make one game). Throws IoError when it cannot be
// read or copied and DatError when it is no DAT.
int copyUserDatabase(const QString &path, QString *databaseName, int *roms = nullptr);

}  // namespace vantorix
