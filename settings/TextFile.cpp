#include "settings/TextFile.h"

namespace vantorix {

QString TextFileReader::readLine()
{
    if (atEnd())
        return QString();
    const QChar *data = text_.constData();
    const qsizetype size = text_.size();
    qsizetype end = pos_;
    while (end < size && data[end] != QLatin1Char('\r') && data[end] != QLatin1Char('\n'))
        ++end;
    const QString line = text_.mid(pos_, end - pos_);
    if (end < size) {
        const bool carriageReturn = data[end] == QLatin1Char('\r');
        ++end;
        if (carriageReturn && end < size && data[end] == QLatin1Char('\n'))
            ++end;
    }
    pos_ = end;
    return line;
}

QByteArray encodeLines(const QStringList &lines)
{
    QByteArray out;
    qsizetype total = 0;
    for (const QString &line : lines)
        total += line.size() + 2;
    out.reserve(total + 3);
    // A reader takes a byte-order mark at the very start for the encoding's
    // mark: a text that starts with that character gets one more.
    if (!lines.isEmpty() && lines.first().startsWith(QChar(0xFEFF)))
        out += "\xEF\xBB\xBF";
    for (QString line : lines) {
        for (QChar &c : line) {
            if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar(kEndOfText))
                c = QLatin1Char(' ');
        }
        out += line.toUtf8();
        out += "\r\n";
    }
    return out;
}

}  // namespace vantorix
