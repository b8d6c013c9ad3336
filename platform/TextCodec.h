#pragma once

#include <QByteArray>
#include <QString>

// The text of files written on this machine or on the program's original
// platform, whichever they are.
namespace vantorix {

// The byte that ends a text file's text.
constexpr char kEndOfText = 0x1A;

// UTF-8 when the bytes are valid UTF-8, otherwise Windows-1252 (files written
// on the program's original platform); UTF-16 with its byte-order mark. The
// text stops at the first 0x1A.
QString decodeText(const QByteArray &bytes);

// Windows-1252 to Unicode, byte for byte.
QString decodeWindows1252(const QByteArray &bytes);

}  // namespace vantorix
