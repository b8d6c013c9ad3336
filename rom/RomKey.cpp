#include "rom/RomKey.h"

#include "rom/RomHeader.h"

#include <zlib.h>

namespace vantorix {

RomKey romKeyOf(const QByteArray &head, qint64 size, quint32 crcOfWhole)
{
    if (head.size() < kLeadBytes)
        return RomKey();
    // The image starts 256 bytes before its header block.
    const qint64 image = headerOffset(locateHeader(head.left(kLeadBytes), size)) - 0x100;
    if (image <= 0)
        return RomKey{crcOfWhole, size};
    if (head.size() < image || size < image)
        return RomKey();
    // A CRC is linear: that of the whole is the prefix's, carried over the
    // rest's length, joined with the rest's. The prefix lies in the head.
    const uLong prefix = ::crc32(0, reinterpret_cast<const Bytef *>(head.constData()), uInt(image));
    const uLong carried = ::crc32_combine(prefix, 0, z_off_t(size - image));
    return RomKey{quint32(crcOfWhole ^ carried), size - image};
}

}  // namespace vantorix
