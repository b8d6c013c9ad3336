#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

namespace vantorix {

class Catalogue;

// The entry the ROMS reader lists for the file at rom, with the games
// directory given (see entryPrefixFor); titled with the databases' name
// when names is set and they know the game. Throws IoError.
QString readerEntryOf(const QString &rom, const QString &gamesDirectory, Catalogue *names);

// Whether the game list keeps entry as it is through a save and a load: a
// line break inside it would end its line and change the file it names.
bool entryHoldsBack(const QString &entry);

// The files of a game list, found as the launch finds them, by identity:
// the same file reached by another path (a link, "..", other letter case)
// is the same game.
class ListedFiles {
public:
    ListedFiles(const QStringList &entries, const QString &gamesDirectory);
    // Adds the file at path; false when it was listed already. A file that
    // cannot be looked at is taken as new.
    bool insert(const QString &path);

private:
    QSet<std::pair<quint64, quint64>> identities_;
};

// A file to add to a game list, with its entry when the ROMS reader has
// made it already (empty: made from the file).
struct GameToAdd {
    QString file;
    QString entry;
};

// What adding files to a game list gives: the entries to add, in order,
// and what was left out and why.
struct GameListAddition {
    QStringList entries;
    QStringList refused;        // "file: reason"
    QStringList alreadyListed;  // shown paths
    int overLimit = 0;          // left out as the list would hold more than its limit
};

// The one way games are added to a game list (the library's "Add to the
// game list", the ROMS reader's "Add all", kelpad --add): each file found
// as the launch finds it, by identity, so that one in the list already
// (by any path) is not added again; its entry made as the reader makes it
// (named from the databases when names is set); a name the list cannot
// hold back refused; at most limit entries in the list. Reads the drive:
// run it off the window's thread.
GameListAddition prepareGameListAddition(const QStringList &gameList, const QString &gamesDirectory,
                                         const QList<GameToAdd> &games, Catalogue *names, int limit);

// What --add did: how many it added, the files it left out with their
// reasons, and those already in the list.
struct RomAdding {
    int added = 0;
    QStringList refused;
    QStringList alreadyListed;
};

// Adds the ROM files to the game list of the configuration at configPath,
// each named as the ROMS reader names it (its path below the games
// directory, or its whole path outside it; the databases' name when the
// user takes names from them), and saves the configuration. The file is
// read again and written under its lock, so that additions made meanwhile
// by another program stay. A file that is no ROM, that cannot be read or
// whose name the list cannot hold is refused with its reason; one already
// in the list is not added again; nothing is saved when the list would
// pass its limit. Throws IoError when the configuration cannot be read,
// locked or saved, or is no configuration.
RomAdding addRomsToConfiguration(const QString &configPath, const QStringList &roms, Catalogue &catalogue);

}  // namespace vantorix
