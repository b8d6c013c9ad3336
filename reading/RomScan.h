#pragma once

#include "reading/RomListing.h"

#include <QString>

#include <cstdio>

namespace vantorix {

class Executor;

class Catalogue;

// Prints the game list entry of every matching plain file of folder (and of
// its subfolders, as scope says), one per line, UTF-8, in the ROMS reader's
// order, as it reads them. A file or subfolder that cannot be read is
// reported on err as "name: text" and the scan goes on. Control characters
// of names are printed as "?", so that no name can forge a line. Returns
// 0, 1 when anything failed or was left out, 2 when the folder cannot be
// listed or entered. With a catalogue to name them, a game its databases
// know is titled with its name, and the keys read go to its hash cache.
// Files are read ahead on executor's threads where one is given.
int scanFolder(const QString &folder, const QString &mask, const ListingScope &scope, FILE *out, FILE *err,
               Catalogue *names = nullptr, Executor *executor = nullptr);

// Prints the cartridge details of each file, in the order given, blocks
// separated by an empty line. A file that cannot be read is reported on err
// as "name: text" and the others are printed. Returns 0, or 1 when any
// file failed. A game the catalogue's databases know is named.
int printDetails(const QStringList &files, Catalogue &catalogue, FILE *out, FILE *err,
                 bool downloadPictures = false);

struct LoadedGameDatabases;

// Names each game database file that was skipped, with its reason, on err.
void reportDatabaseProblems(const LoadedGameDatabases &databases, FILE *err);


}  // namespace vantorix
