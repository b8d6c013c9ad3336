// The configuration reader: any bytes parse; written out and read again,
// the configuration is the same.
#include "settings/Configuration.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const vantorix::Configuration first = vantorix::parseConfiguration(bytes);
    if (first.interfaceName.size() > 11 || first.gameList.size() > vantorix::kPlaylistLimit)
        std::abort();
    const QByteArray written = vantorix::serializeConfiguration(first);
    const vantorix::Configuration second = vantorix::parseConfiguration(written);
    if (second != first)
        std::abort();
    if (vantorix::serializeConfiguration(second) != written)
        std::abort();
    return 0;
}
