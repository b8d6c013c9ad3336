#pragma once

#include "library/GameSaves.h"
#include "library/GameVariants.h"
#include "library/LibraryScan.h"
#include "library/LibraryStore.h"

#include <QByteArray>

#include <functional>
#include <vector>

namespace vantorix {

// The library's list for scripts: a header line, then a line a game sorted
// by path, tab-separated (name, system, region, size, crc32, verified,
// played, last played, path, copies, play time in seconds, emulator, save).
// Scripts read it by column: new columns only ever come at the end. Each
// game's line is made as it is read, so that the games themselves need not
// all be kept; the copies and saves are filled in at the end.
class LibraryList {
public:
    explicit LibraryList(const LibraryStore &store) : store_(store) {}

    void add(const LibraryGame &game);
    size_t size() const { return lines_.size(); }
    // The path's own bytes of the index-th game added (valid until the
    // next add).
    QByteArrayView pathOf(size_t index) const;
    // Sorts the lines and counts the copies: all the list needs but the
    // saves (which may be looked for meanwhile). Done once, by text() at
    // the latest.
    void sort();
    // The whole list; saves: the path's bytes of the first save found for
    // a game, by its index (none: the column empty).
    QByteArray text(const QHash<size_t, QByteArray> &saves = {});
    // The same handed to a writer piece by piece; false as soon as it fails.
    bool write(const QHash<size_t, QByteArray> &saves, const std::function<bool(QByteArrayView)> &to);

    static const QByteArray &header();

private:
    // A game's line lies in the arena as its columns up to the path, the
    // path's own bytes (what the lines sort by), then "\t<play time>\t<emulator>":
    // 100,000 lines are one block, not three of their own each.
    struct Line {
        qsizetype at = 0;
        int textLength = 0;
        int pathLength = 0;
        int historyLength = 0;
        RomKey content;
    };

    struct Ordered {
        quint64 next;  // the path's bytes after those all share, big-endian, 0 past its end
        const Line *line;
    };

    const LibraryStore &store_;
    QByteArray arena_;
    std::vector<Line> lines_;
    bool sorted_ = false;
    std::vector<Ordered> order_;
    CopyCounts copies_;
};

}  // namespace vantorix
