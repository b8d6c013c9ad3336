#pragma once

#include "catalogue/RomHeader.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// What a cartridge header says beyond its title, and whether the dump is
// sound. Read from the file on request; nothing of it is stored.
namespace vantorix {

struct CartridgeDetails {
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
    qint64 fileSize = 0;
    qint64 declaredRomBytes = -1;  // from the ROM size byte; -1 when unknown
    qint64 imageBytes = 0;         // the file less what stands before the image

    bool headerChecksumValid() const { return storedHeaderChecksum == computedHeaderChecksum; }
    bool globalChecksumValid() const { return storedGlobalChecksum == computedGlobalChecksum; }
    QString headerChecksumText() const;
    QString globalChecksumText() const;
};

// The 48 bytes every cartridge holds at 0x104.
QByteArray cartridgeLogo();

// The details of a whole file's bytes. Throws IoError (read beyond end of
// file) when the file is too short for its header block.
CartridgeDetails decodeCartridge(const QByteArray &file);

// Reads the file at path whole and decodes it. Throws IoError.
CartridgeDetails readCartridgeDetails(const QString &path);

// The lines "kelpad --info" prints for a file shown as shownPath.
QStringList detailLines(const CartridgeDetails &details, const QString &shownPath);

// The compact tool-tip of the lists: title, system, cartridge, sizes,
// warnings, and the file's full path.
QString detailToolTip(const CartridgeDetails &details, const QString &shownPath);

// The tool-tip of the file at path, read now; a file that cannot be read
// gives its path and the reason.
QString detailToolTipOfFile(const QString &path);

}  // namespace vantorix
