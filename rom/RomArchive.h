#pragma once

#include <QByteArray>
#include <QString>

// Zipped and 7z ROMs, read as the ROM inside them. Nothing is ever written
// to disk and the names of entries are only shown, never used as paths.
namespace vantorix {

// The largest ROM whose whole bytes are read (details, checksums): far
// above any cartridge, so only a file that is no ROM is refused.
constexpr qint64 kMaxRomBytes = 32 * 1024 * 1024;

// A zip (local file header, or the end record of an empty one) or a 7z
// archive, by its first bytes.
bool isArchive(const QByteArray &lead);

class RomDigest;

struct ArchiveRom {
    QString entryName;   // as the archive names it
    QByteArray bytes;    // the first bytes asked for, or the whole ROM
    qint64 size = 0;     // unpacked size of the whole ROM
    quint32 crc32 = 0;   // of the whole ROM; set only when it was read whole
    // What a zip's directory says of the ROM's CRC32, read without
    // unpacking anything (a 7z's is not to be had so).
    bool hasStoredCrc = false;
    quint32 storedCrc32 = 0;
    // Entries with a ROM's name in the archive. A 7z's are counted only
    // when the ROM is read whole, as far as the archive's budget reaches
    // (romCountComplete false when it ran out or a later entry is damaged).
    int romCount = 0;
    bool romCountComplete = true;
};

// The ROM inside: the first entry, in the archive's own order, whose name
// ends in .gb, .gbc, .cgb or .sgb (any letter case), otherwise the first
// entry that is a file. Without a digest at most wanted bytes of it are
// unpacked. With one, all of it streams through the digest, the CRC the
// archive stores is checked, and a ROM over kMaxRomBytes is refused, before
// it is unpacked when the archive gives its size. Throws IoError: a
// damaged, truncated or password-protected archive, one without a file, or
// a ROM too large.
ArchiveRom readArchiveRom(int fd, qint64 wanted, RomDigest *digest = nullptr);
// The same, where the file's size and its first bytes (lead) were read
// already: they are not read again.
ArchiveRom readArchiveRom(int fd, qint64 fileSize, QByteArrayView lead, qint64 wanted, RomDigest *digest = nullptr);
// Zips up to this size are read whole into memory and opened there.
constexpr qint64 kWholeZipReadLimit = 256 * 1024;
ArchiveRom readArchiveRom(const QByteArray &archive, qint64 wanted, RomDigest *digest = nullptr);

}  // namespace vantorix
