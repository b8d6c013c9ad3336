// clrmamepro DAT text: any bytes give games or a DatError, and every ROM
// read belongs to a named game and to a header that was read.
#include "catalogue/DatReader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        const vantorix::DatContents dat = vantorix::readClrMameProDat(text);
        for (const vantorix::DatRom &rom : dat.roms)
            if (rom.game.isEmpty() || rom.header >= int(dat.headers.size()) || rom.size < 0)
                std::abort();
    } catch (const vantorix::DatError &error) {
        if (error.line() < 1)
            std::abort();
    }
    return 0;
}
