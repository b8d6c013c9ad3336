#include "library/LibraryRow.h"

#include "library/LibraryKeys.h"

#include <cstring>

namespace vantorix {

LibraryRow::LibraryRow(LibraryGame game)
{
    prepareKeys(game);
    pathLength_ = quint32(game.path.size());
    realPathLength_ = quint32(game.realPath.size());
    nameLength_ = quint32(game.name.size());
    sortKeyLength_ = game.sortKeyLength;
    const qsizetype texts = qsizetype(pathLength_ + realPathLength_ + nameLength_) * 2;
    block_ = SharedBytes(texts + game.keys.size());
    char *to = block_.data();
    for (const QString *text : {&game.path, &game.realPath, &game.name}) {
        if (text->isEmpty())
            continue;
        std::memcpy(to, text->constData(), size_t(text->size()) * 2);
        to += text->size() * 2;
    }
    if (!game.keys.isEmpty())
        std::memcpy(to, game.keys.constData(), size_t(game.keys.size()));
    folder_ = std::move(game.folder);
    stamp_ = game.stamp;
    size_ = game.size;
    crc32_ = game.crc32;
    colour_ = game.colour;
    hasCrc_ = game.hasCrc;
    verified_ = game.verified;
}

LibraryGame LibraryRow::game() const
{
    LibraryGame game;
    game.path = path();
    game.realPath = text(pathLength_, realPathLength_).toString();
    game.folder = folder_;
    game.name = name();
    game.keys = QByteArray(block_.constData() + keysAt(), block_.size() - keysAt());
    game.sortKeyLength = sortKeyLength_;
    game.stamp = stamp_;
    game.size = size_;
    game.crc32 = crc32_;
    game.colour = colour_;
    game.hasCrc = hasCrc_;
    game.verified = verified_;
    return game;
}

}  // namespace vantorix
