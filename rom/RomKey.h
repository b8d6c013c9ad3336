#pragma once

#include <QByteArray>

// What the game databases know a ROM by: the CRC32 and the size of the
// cartridge image itself, without what a copier or a CTT dump puts before it.
namespace vantorix {

struct RomKey {
    quint32 crc32 = 0;
    qint64 size = -1;

    bool isValid() const { return size >= 0; }
    bool operator==(const RomKey &other) const { return crc32 == other.crc32 && size == other.size; }
};

// The key of a file of size bytes whose CRC32 over all of them is
// crcOfWhole, and whose first bytes are head (at least the header block of
// its layout). Invalid when head is too short to tell.
RomKey romKeyOf(const QByteArray &head, qint64 size, quint32 crcOfWhole);

}  // namespace vantorix
