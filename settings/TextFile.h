#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "platform/TextCodec.h"
#include "platform/WholeFile.h"

// The text files of the program (configuration and interface files): lines
// end with CR LF when written; on reading a line ends at CR (with an
// optional LF after it) or at a lone LF; the text ends at the end of the
// file or at the first byte 0x1A; every line read past the end is empty.
namespace vantorix {

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

}  // namespace vantorix
