#pragma once

#include <QString>
#include <QStringList>

namespace vantorix {

class Catalogue;

// Adds the ROM files to the game list of the configuration at configPath,
// each named as the ROMS reader names it (its path below the games
// directory, or its whole path outside it; the databases' name when they
// know the game), and saves the configuration. A file that is no ROM, or
// that cannot be read, is named in refused with its reason and not added;
// nothing is saved when the list would pass its limit. Returns how many
// were added. Throws IoError when the configuration cannot be read or
// saved.
// The entry the ROMS reader lists for the file at rom, with the games
// directory given (see entryPrefixFor). Throws IoError.
QString readerEntryOf(const QString &rom, const QString &gamesDirectory, Catalogue &catalogue);

int addRomsToConfiguration(const QString &configPath, const QStringList &roms, Catalogue &catalogue,
                           QStringList *refused);

}  // namespace vantorix
