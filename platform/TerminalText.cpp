#include "platform/TerminalText.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>

namespace vantorix {

QByteArray terminalText(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    const char *codeset = ::nl_langinfo(CODESET);
    if (!codeset || std::strcmp(codeset, "UTF-8") == 0)
        return utf8;
    const iconv_t convert = ::iconv_open((QByteArray(codeset) + "//TRANSLIT").constData(), "UTF-8");
    if (convert == iconv_t(-1))
        return utf8;
    QByteArray out(utf8.size() * 4 + 16, Qt::Uninitialized);
    char *in = const_cast<char *>(utf8.constData());
    size_t inLeft = size_t(utf8.size());
    char *to = out.data();
    size_t toLeft = size_t(out.size());
    while (inLeft > 0 && ::iconv(convert, &in, &inLeft, &to, &toLeft) == size_t(-1)) {
        if (errno != EILSEQ || toLeft == 0)
            break;
        // A character beyond even the stand-ins: one "?" for its bytes.
        *to++ = '?';
        --toLeft;
        do {
            ++in;
            --inLeft;
        } while (inLeft > 0 && (uchar(*in) & 0xC0) == 0x80);
    }
    ::iconv_close(convert);
    out.truncate(qsizetype(to - out.data()));
    return out;
}

void printMessage(FILE *out, const QString &text)
{
    const QByteArray bytes = terminalText(QStringLiteral("kelpad: ") + text + QLatin1Char('\n'));
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out);
}

}  // namespace vantorix
