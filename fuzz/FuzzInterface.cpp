// The interface file reader: any bytes give 18 texts and the help lines,
// none of them holding a line end.
#include "settings/InterfaceFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const vantorix::InterfaceTexts texts = vantorix::parseInterfaceFile(bytes);
    QStringList all = texts.helpLines;
    for (const QString &text : texts.texts)
        all.append(text);
    for (const QString &line : all)
        if (line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n')))
            std::abort();
    if (texts.helpLines.size() > qsizetype(size))
        std::abort();
    return 0;
}
