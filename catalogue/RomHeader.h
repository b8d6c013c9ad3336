#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// Turning a ROM image into a game list entry from its cartridge header.
namespace vantorix {

enum class HeaderLayout { Ctt, Copier, Plain };

constexpr int kLeadBytes = 3;
constexpr int kHeaderBlockSize = 80;
constexpr int kTitleOffsetInBlock = 52;
constexpr int kTitleSize = 16;

// The first three bytes are the letters C, T, T.
bool isCttFile(const QByteArray &lead);

// The copier test: size less 512 equals byte 0 * 8192 + byte 1 * 2097152.
bool isCopierImage(const QByteArray &lead, qint64 size);

// CTT first, then copier, then plain. The size is only looked at when the
// file is not a CTT file.
HeaderLayout locateHeader(const QByteArray &lead, qint64 size);
qint64 headerOffset(HeaderLayout layout);

// The title's letters, digits and spaces, in order, ends trimmed.
QString titleText(const QByteArray &block);

// The listed name upper-cased, ends (code 32 or less) trimmed.
QString entryFileName(const QString &listedName);

// The entry of a whole image held in memory, as the file reader would make
// it. Throws IoError (read beyond end of file) for a short image.
QString entryFromImage(const QByteArray &image, const QString &listedName);

// Reads at most 83 bytes of the regular file at path and returns its entry;
// the entry carries the upper-cased listedName. onRead is called with that
// name once the first bytes were read. Throws IoError.
QString readRomEntry(const QString &path, const QString &listedName,
                     const std::function<void(const QString &)> &onRead = {});

// A regular file (after following links): FIFOs, sockets, devices and
// folders are not.
bool isRegularFile(const QString &path);

}  // namespace vantorix
