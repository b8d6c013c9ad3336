// clrmamepro DAT text: any bytes give games or a refusal with its line.
#include "fuzz/DatChecks.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return checkDatReading(&vantorix::readClrMameProDat, data, size);
}
