#include "rom/RomDigest.h"

#include "rom/RomHeader.h"

#include <zlib.h>

namespace vantorix {

void RomDigest::add(const char *data, qint64 length)
{
    if (length <= 0)
        return;
    if (head_.size() < kHeadBytes)
        head_.append(data, qMin<qint64>(length, kHeadBytes - head_.size()));
    const auto *bytes = reinterpret_cast<const uchar *>(data);
    quint32 sum = byteSum_;
    for (qint64 i = 0; i < length; ++i)
        sum += bytes[i];
    byteSum_ = sum;
    // zlib takes at most 4 GiB a call; callers hand it buffers.
    crc32_ = quint32(::crc32(crc32_, bytes, uInt(length)));
    size_ += length;
}

}  // namespace vantorix
