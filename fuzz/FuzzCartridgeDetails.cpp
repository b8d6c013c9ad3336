// Any file's bytes give the cartridge details or a read beyond the end of
// the file, never anything else.
#include "platform/IoError.h"
#include "names/CartridgeDetails.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray file = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        const vantorix::CartridgeDetails details = vantorix::decodeCartridge(file);
        if (details.fileSize != qint64(size) || vantorix::detailLines(details, QStringLiteral("f")).size() != 15)
            std::abort();
        (void)vantorix::detailToolTip(details, QStringLiteral("f"));
    } catch (const vantorix::IoError &error) {
        if (error.code() != vantorix::IoError::ReadBeyondEnd)
            std::abort();
    }
    return 0;
}
