#pragma once

#include "library/LibraryScan.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

namespace vantorix {

// How many files of the library hold each ROM (by CRC32 and size): a plain
// file and a zip of it, or the same game in two folders, are copies.
// contentOf gives an item's ROM key; an invalid key counts for none.
using CopyCounts = QHash<std::pair<quint32, qint64>, int>;
template <typename Items, typename ContentOf>
CopyCounts countCopies(const Items &items, ContentOf contentOf)
{
    CopyCounts counts;
    counts.reserve(qsizetype(items.size()));
    for (const auto &item : items) {
        const RomKey content = contentOf(item);
        if (content.isValid())
            ++counts[{content.crc32, content.size}];
    }
    return counts;
}

// The regions a collector prefers, first to last: the setting where the
// user made one, else by the language ("it": Europe first).
QStringList defaultRegionOrder(const QString &language);

// The game a name belongs to, its variants alike: the name before its
// first " (" ("Tetris (World) (Rev 1)" gives "Tetris"), folded.
QString gameOfName(const QString &name);
// "(Rev 2)" gives 2, "(Rev A)" 1, no revision 0.
int revisionOfName(const QString &name);

// Of the variants of each game (regions, revisions, languages, copies),
// the one to show: the first region in order, then the highest revision,
// a verified dump before another, a plain file before an archive.
// Returns the indexes of the games chosen, in the order given.
struct GameVariant {
    QString name;
    QString path;
    bool verified = false;  // the name is a database's (it tells a region)
};
std::vector<int> onePerGame(const std::vector<GameVariant> &games, const QStringList &regionOrder);

}  // namespace vantorix
