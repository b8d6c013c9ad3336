#pragma once

#include "library/GameSaves.h"
#include "library/LibraryScan.h"
#include "library/LibraryStore.h"

#include <QByteArray>

#include <vector>

namespace vantorix {

// The library's list for scripts: a header line, then a line a game sorted
// by path, tab-separated (name, system, region, size, crc32, verified,
// played, last played, path, copies, play time in seconds, emulator, save).
// Scripts read it by column: new columns only ever come at the end. Each
// game's line is made as it is read, so that the games themselves need not
// all be kept; the copies and saves are filled in at the end.
struct LibraryListLine {
    QByteArray path;     // the sort key: the path's bytes
    QByteArray text;     // the columns up to the path
    QByteArray history;  // "\t<play time>\t<emulator>"
    RomKey content;
};
LibraryListLine libraryListLine(const LibraryGame &game, const LibraryStore &store);
// saves: the saves found for the games, by path (none: the column empty).
QByteArray libraryListText(std::vector<LibraryListLine> lines, const FoundSaves &saves = {});

}  // namespace vantorix
