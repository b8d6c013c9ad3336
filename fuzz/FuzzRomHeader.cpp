// The header core: an image of any bytes (and the size it claims) gives an
// entry of the fixed layout or a typed error, never anything else.
#include "rom/GameListEntry.h"
#include "platform/IoError.h"
#include "rom/RomHeader.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    // The first four bytes are a claimed file size for the locator.
    uint32_t claimed;
    std::memcpy(&claimed, data, 4);
    const QByteArray image = QByteArray::fromRawData(reinterpret_cast<const char *>(data) + 4,
                                                     qsizetype(size - 4));
    const vantorix::HeaderLayout layout = vantorix::locateHeader(image.left(3), qint64(claimed));
    if (vantorix::headerOffset(layout) < 0)
        std::abort();
    const QString title = vantorix::titleText(image.left(16));
    for (const QChar c : title)
        if (!(c == QLatin1Char(' ') || (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
              || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'))))
            std::abort();
    try {
        const QString entry = vantorix::entryFromImage(image, QStringLiteral("game.gb"));
        if (entry.size() < vantorix::kEntryLength || !entry.endsWith(QLatin1String("(    GAME.GB)")))
            std::abort();
    } catch (const vantorix::IoError &error) {
        if (error.code() != vantorix::IoError::ReadBeyondEnd)
            std::abort();
    }
    return 0;
}
