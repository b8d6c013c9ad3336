#pragma once

#include "rom/FileStamp.h"
#include "rom/RomKey.h"

#include <QByteArray>
#include <QHash>
#include <QByteArrayView>
#include <QString>

#include <functional>

// Turning a ROM image into a game list entry from its cartridge header.
namespace vantorix {

enum class HeaderLayout { Ctt, Copier, Plain };

constexpr int kLeadBytes = 3;
constexpr int kHeaderBlockSize = 80;
constexpr int kTitleOffsetInBlock = 52;
constexpr int kTitleSize = 16;
// The first bytes of a file hold the header block of every layout: the CTT
// block ends at 406, the plain one at 336, the copier one at 848.
constexpr int kHeadBytes = 848;
// What holds the block unless the file is a copier image.
constexpr int kShortHeadBytes = 406;

// The first three bytes are the letters C, T, T.
bool isCttFile(const QByteArray &lead);

// The copier test: size less 512 equals byte 0 * 8192 + byte 1 * 2097152.
bool isCopierImage(const QByteArray &lead, qint64 size);

// CTT first, then copier, then plain. The size is only looked at when the
// file is not a CTT file.
HeaderLayout locateHeader(const QByteArray &lead, qint64 size);
qint64 headerOffset(HeaderLayout layout);

// The title's letters, digits and spaces up to its first zero byte, in
// order, ends trimmed: the title of a game list entry.
QString titleText(const QByteArray &block);
// The same in ASCII bytes, laid down in title.
QByteArrayView titleBytes(const QByteArray &block, char (&title)[kTitleSize]);

// The title as the header holds it: up to the first zero byte, 15 bytes
// when the last one is the colour flag, punctuation kept, every byte
// outside printable ASCII shown as "?", ends trimmed.
QString headerTitle(const QByteArray &block);

// The listed name upper-cased letter by letter, ends (code 32 or less)
// trimmed.
QString entryFileName(const QString &listedName);

// The entry from a file's first bytes (head: up to kHeadBytes of them) and
// its size. Throws IoError (read beyond end of file) when the head ends
// before the layout's header block does.
QString entryFromHead(const QByteArray &head, qint64 fileSize, const QString &listedName);
// The same with the entry's file name as given; a header without a title
// gives the title of fileName (see namelessRomTitle), or of entryName when
// that is empty.
QString entryFromHeadNamed(const QByteArray &head, qint64 fileSize, const QString &entryName,
                           const QString &fileName = QString());
// The title of that entry, in ASCII bytes laid down in title.
QByteArrayView entryTitle(const QByteArray &head, qint64 fileSize, char (&title)[kTitleSize]);

// The entry of a whole image held in memory, as the file reader makes it.
QString entryFromImage(const QByteArray &image, const QString &listedName);

// The first bytes of the file name in the folder dirFd (AT_FDCWD: the
// current folder), with one open, one fstat, one read and one close. For
// a zip or 7z archive, the first bytes and the size of the ROM inside, whose
// name goes to archiveEntry (emptied for a plain file). Returns false,
// without an error, when name is no regular file there: it does not exist,
// is a folder, a FIFO, a device or a link that leads nowhere. Throws
// IoError when the file is there but cannot be read.
bool readRomHead(int dirFd, const QByteArray &name, QByteArray *head, qint64 *size,
                 QString *archiveEntry = nullptr);
// What a head read is asked beside the head: the ROM's key (see RomKey).
// A zip's comes from its directory. A plain file's or a 7z's is taken from
// known when the file is unchanged since, else read whole now (fresh).
struct RomKeyRead {
    const QHash<FileStamp, RomKey> *known = nullptr;
    RomKey key;       // invalid when it cannot be had (a ROM over 32 MiB)
    FileStamp stamp;  // the file's
    bool fresh = false;
};

// The same, read into buffer (kHeadBytes long), which head then shows
// without a copy (unless the file is an archive): for a reader that reads
// many files one after another into buffers of its own. With keyRead, the
// key too.
bool readRomHeadInto(int dirFd, const QByteArray &name, char *buffer, QByteArray *head, qint64 *size,
                     QString *archiveEntry, RomKeyRead *keyRead = nullptr);

// The entry of the regular file at path; the entry carries the upper-cased
// listedName. onRead is called with that name once the file was read.
// Throws IoError, also when path is no regular file.
QString readRomEntry(const QString &path, const QString &listedName,
                     const std::function<void(const QString &)> &onRead = {});

}  // namespace vantorix
