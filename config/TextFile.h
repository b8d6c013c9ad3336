#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The text files of the program (configuration and interface files): lines
// end with CR LF when written; on reading a line ends at CR (with an
// optional LF after it) or at a lone LF; the text ends at the end of the
// file or at the first byte 0x1A; every line read past the end is empty.
namespace vantorix {

// UTF-8 when the bytes are valid UTF-8, otherwise Windows-1252 (files written
// on the program's original platform). The text stops at the first 0x1A.
QString decodeText(const QByteArray &bytes);

// Windows-1252 to Unicode, byte for byte.
QString decodeWindows1252(const QByteArray &bytes);

class TextFileReader {
public:
    explicit TextFileReader(const QString &text) : text_(text) {}
    explicit TextFileReader(const QByteArray &bytes) : text_(decodeText(bytes)) {}

    bool atEnd() const { return pos_ >= text_.size(); }
    // The next line without its line end; empty once the text is at its end.
    QString readLine();

private:
    QString text_;
    qsizetype pos_ = 0;
};

// Every line followed by CR LF, as UTF-8 without a byte-order mark. A CR, LF
// or 0x1A inside a line would end it on reading and shift every later line,
// so each is written as a space.
QByteArray encodeLines(const QStringList &lines);

// The largest text file read whole: far beyond any configuration.
constexpr qint64 kMaxTextFileSize = qint64(64) << 20;

// The whole content of a regular file of at most maxBytes, read into
// memory: a file cut or rewritten meanwhile gives what was there, never a
// fault. Throws IoError.
QByteArray readWholeFile(const QString &path, qint64 maxBytes = kMaxTextFileSize);

// Replaces the file with data only once data is completely on disk: written
// to a temporary file beside it, flushed, then renamed over it. On failure
// the old file is untouched. Throws IoError.
void writeFileAtomically(const QString &path, const QByteArray &data);

}  // namespace vantorix
