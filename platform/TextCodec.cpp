#include "platform/TextCodec.h"

#include <QStringDecoder>

namespace vantorix {

namespace {

const char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

QString decodeWindows1252(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : bytes) {
        const uchar b = uchar(c);
        *out++ = (b >= 0x80 && b < 0xA0) ? QChar(kWindows1252High[b - 0x80]) : QChar(b);
    }
    return text;
}

QString decodeText(const QByteArray &bytes)
{
    // A file saved as UTF-16 by an editor says so in its first two bytes.
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        // The mark is skipped here; a second one is a character of the text.
        QStringDecoder utf16(bytes.at(0) == '\xFF' ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                             QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        QString decoded = utf16.decode(bytes.mid(2));
        const qsizetype end = decoded.indexOf(QChar(kEndOfText));
        if (end >= 0)
            decoded.truncate(end);
        // Half a surrogate pair is no character: it could not be written back.
        for (qsizetype i = 0; i < decoded.size(); ++i) {
            const bool paired = decoded.at(i).isHighSurrogate() && i + 1 < decoded.size()
                                && decoded.at(i + 1).isLowSurrogate();
            if (paired)
                ++i;
            else if (decoded.at(i).isSurrogate())
                decoded[i] = QChar::ReplacementCharacter;
        }
        return decoded;
    }
    const qsizetype end = bytes.indexOf(kEndOfText);
    const QByteArray text = end < 0 ? bytes : bytes.left(end);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8.decode(text);
    if (!utf8.hasError())
        return decoded;
    return decodeWindows1252(text);
}

}  // namespace vantorix
