#pragma once

#include "rom/RomHeader.h"
#include "rom/RomKey.h"

#include <QtGlobal>

#include <QByteArray>
#include <QString>
#include <QStringList>

// What a cartridge header says beyond its title, and whether the dump is
// sound. Read from the file on request; nothing of it is stored.
namespace vantorix {

class RomDigest;

struct CartridgeDetails {
    QString archiveEntry;  // the ROM's name inside a zip or 7z archive
    int archiveRoms = 0;   // ROMs the archive holds; the first is used
    bool archiveRomsComplete = true;  // false: at least archiveRoms
    HeaderLayout layout = HeaderLayout::Plain;
    QString title;
    QString colour;        // "supported", "only" or "none"
    bool superGameBoy = false;
    QString cartridge;     // "MBC1+RAM+BATTERY", ... or "unknown (0xNN)"
    QString romSize;       // "32 KiB", ... or "unknown (0xNN)"
    QString ramSize;       // "none", "8 KiB", ... or "unknown (0xNN)"
    QString destination;   // "Japan", "overseas" or "unknown (0xNN)"
    int version = 0;
    bool logoValid = false;
    quint8 storedHeaderChecksum = 0;
    quint8 computedHeaderChecksum = 0;
    quint16 storedGlobalChecksum = 0;
    quint16 computedGlobalChecksum = 0;
    qint64 fileSize = 0;       // of the ROM, unpacked from its archive
    quint32 crc32 = 0;         // of the whole ROM
    RomKey key;                // what the game databases know it by
    qint64 declaredRomBytes = -1;  // from the ROM size byte; -1 when unknown
    qint64 imageBytes = 0;         // the file less what stands before the image

    bool headerChecksumValid() const { return storedHeaderChecksum == computedHeaderChecksum; }
    bool globalChecksumValid() const { return storedGlobalChecksum == computedGlobalChecksum; }
    QString headerChecksumText() const;
    QString globalChecksumText() const;
};

// The 48 bytes every cartridge holds at 0x104.
QByteArray cartridgeLogo();

// The details of a whole ROM read through a digest. Throws IoError (read
// beyond end of file) when it is too short for its header block.
CartridgeDetails decodeCartridge(const RomDigest &rom);
CartridgeDetails decodeCartridge(const QByteArray &file);

// Streams the file at path, or the ROM inside it when it is an archive,
// and decodes it. Only a regular file is opened (so nothing can block),
// and a ROM over 32 MiB is refused without being read. Throws IoError.
CartridgeDetails readCartridgeDetails(const QString &path);

class GameDatabase;

// The lines "kelpad --info" prints for a file shown as shownPath; with
// game databases that were read, its game's name and database after the
// CRC32, or that none knows it. translated: in the user's language (a
// window's), else in English (the command's, which scripts read).
QStringList detailLines(const CartridgeDetails &details, const QString &shownPath,
                        const GameDatabase *databases = nullptr, bool translated = false);

// The compact tool-tip of the lists: the game's name when a database knows
// it, title, system, cartridge, sizes, warnings, and the file's full path.
QString detailToolTip(const CartridgeDetails &details, const QString &shownPath,
                      const GameDatabase *databases = nullptr);

// The tool-tip of the file at path, read now and named from databases; a
// file that cannot be read gives its path and the reason.
QString detailToolTipOfFile(const QString &path, const GameDatabase &databases);

}  // namespace vantorix
