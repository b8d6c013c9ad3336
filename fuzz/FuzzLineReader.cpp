// The text-file line reader: any bytes give lines without line-end
// characters, the reader always reaches the end, and past it every line is
// empty.
#include "settings/TextFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = vantorix::decodeText(bytes);
    vantorix::TextFileReader reader(bytes);
    qsizetype consumed = 0;
    qsizetype lines = 0;
    while (!reader.atEnd()) {
        const QString line = reader.readLine();
        if (line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n')))
            std::abort();
        consumed += line.size();
        if (++lines > text.size() + 1)
            std::abort();  // the reader does not advance
    }
    if (consumed > text.size() || !reader.readLine().isEmpty())
        std::abort();
    // Written lines read back as themselves, line ends made spaces.
    QStringList written;
    vantorix::TextFileReader again(bytes);
    while (!again.atEnd())
        written.append(again.readLine());
    vantorix::TextFileReader back(vantorix::encodeLines(written));
    for (const QString &line : written) {
        QString expected = line;
        for (QChar &c : expected)
            if (c == QLatin1Char('\x1a'))
                c = QLatin1Char(' ');
        if (back.readLine() != expected)
            std::abort();
    }
    return 0;
}
