#pragma once

#include "library/LibraryScan.h"
#include "library/LibraryStore.h"

#include <QByteArray>

#include <vector>

namespace vantorix {

// The library's list for scripts: a header line, then a line a game sorted
// by path, tab-separated (name, system, region, size, crc32, verified,
// played, last played, path). Each game's line is made as it is read, so
// that the games themselves need not all be kept.
struct LibraryListLine {
    QByteArray path;  // the sort key: the path's bytes
    QByteArray text;  // the whole line, ended
};
LibraryListLine libraryListLine(const LibraryGame &game, const LibraryStore &store);
QByteArray libraryListText(std::vector<LibraryListLine> lines);

}  // namespace vantorix
