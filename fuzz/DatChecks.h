#pragma once

#include "names/DatReader.h"

#include <cstdlib>

// What every DAT read must hold, whatever the bytes: each ROM belongs to a
// named game and to a header that was read, and a refusal names a line.
inline int checkDatReading(vantorix::DatContents (*read)(const QByteArray &), const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        const vantorix::DatContents dat = read(bytes);
        for (const vantorix::DatRom &rom : dat.roms)
            if (rom.game.isEmpty() || rom.header >= int(dat.headers.size()) || rom.size < 0)
                std::abort();
    } catch (const vantorix::DatError &error) {
        if (error.line() < 0)
            std::abort();
    }
    return 0;
}
