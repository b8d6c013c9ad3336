#pragma once

#include "rom/RomArchive.h"

#include <QByteArray>
#include <QString>

#include <functional>

// What the zip and the 7z readers share: which entry is the ROM, how an
// entry is unpacked, and what one archive may cost.
namespace vantorix {

// Bytes one archive may have unpacked while its ROM is looked for and
// read: entries before the ROM in a solid 7z are unpacked to reach it, and
// their size is anyone's. Past it the archive is "File too large".
constexpr qint64 kMaxArchiveDecodedBytes = 64 * 1024 * 1024;

// An entry's name is shown, never used as a path: a name of megabytes is
// shown cut.
constexpr int kShownEntryNameLength = 255;

// Whether an entry's name ends in .gb, .gbc, .cgb or .sgb, any letter case.
bool hasRomName(QByteArrayView name);

QString shownEntryName(const QString &name);

// Counts what one archive unpacks against kMaxArchiveDecodedBytes.
class DecodeBudget {
public:
    // Throws IoError (file too large) once more than the bound is spent.
    void spend(qint64 bytes);

private:
    qint64 spent_ = 0;
};

// Unpacks the chosen entry through readSome (the bytes it placed, 0 at the
// end; it throws on failure): at most wanted bytes into bytes, or with a
// digest all of it through the digest, refused past kMaxRomBytes.
void unpack(const std::function<qint64(char *, qint64)> &readSome, qint64 wanted, RomDigest *digest,
            QByteArray *bytes, DecodeBudget *budget = nullptr);

bool isZip(QByteArrayView lead);

// The readers of each kind (ZipArchive.cpp, SevenZipArchive.cpp).
ArchiveRom readZipRom(int fd, qint64 fileSize, qint64 wanted, RomDigest *digest);
ArchiveRom readZipRom(const QByteArray &archive, qint64 wanted, RomDigest *digest);
ArchiveRom readSevenZipRom(int fd, qint64 wanted, RomDigest *digest);
ArchiveRom readSevenZipRom(const QByteArray &archive, qint64 wanted, RomDigest *digest);

}  // namespace vantorix
