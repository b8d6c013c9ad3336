#include "names/CartridgeDetails.h"

#include "platform/FileDescriptor.h"
#include "platform/FilePath.h"
#include "platform/IoError.h"
#include "platform/ShownText.h"
#include "rom/RomArchive.h"
#include "names/GameDatabase.h"
#include "rom/RomDigest.h"

#include <QCoreApplication>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantorix {

namespace {

// The words a person reads in a tool-tip.
class Texts {
    Q_DECLARE_TR_FUNCTIONS(CartridgeDetails)
};

QString hex(uint value, int digits)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper().rightJustified(digits, QLatin1Char('0'));
}

QString unknown(uchar value)
{
    return QStringLiteral("unknown (%1)").arg(hex(value, 2));
}

QString cartridgeName(uchar type)
{
    struct Name {
        uchar type;
        const char *name;
    };
    static const Name names[] = {
        {0x00, "ROM ONLY"}, {0x01, "MBC1"}, {0x02, "MBC1+RAM"}, {0x03, "MBC1+RAM+BATTERY"},
        {0x05, "MBC2"}, {0x06, "MBC2+BATTERY"}, {0x08, "ROM+RAM"}, {0x09, "ROM+RAM+BATTERY"},
        {0x0B, "MMM01"}, {0x0C, "MMM01+RAM"}, {0x0D, "MMM01+RAM+BATTERY"},
        {0x0F, "MBC3+TIMER+BATTERY"}, {0x10, "MBC3+TIMER+RAM+BATTERY"}, {0x11, "MBC3"},
        {0x12, "MBC3+RAM"}, {0x13, "MBC3+RAM+BATTERY"}, {0x19, "MBC5"}, {0x1A, "MBC5+RAM"},
        {0x1B, "MBC5+RAM+BATTERY"}, {0x1C, "MBC5+RUMBLE"}, {0x1D, "MBC5+RUMBLE+RAM"},
        {0x1E, "MBC5+RUMBLE+RAM+BATTERY"}, {0x20, "MBC6"}, {0x22, "MBC7+SENSOR+RUMBLE+RAM+BATTERY"},
        {0xFC, "POCKET CAMERA"}, {0xFD, "BANDAI TAMA5"}, {0xFE, "HuC3"}, {0xFF, "HuC1+RAM+BATTERY"},
    };
    for (const Name &n : names)
        if (n.type == type)
            return QString::fromLatin1(n.name);
    return unknown(type);
}

QString ramSizeName(uchar code)
{
    static const char *const sizes[] = {"none", "2 KiB", "8 KiB", "32 KiB", "128 KiB", "64 KiB"};
    return code < 6 ? QString::fromLatin1(sizes[code]) : unknown(code);
}

QString layoutName(HeaderLayout layout)
{
    switch (layout) {
    case HeaderLayout::Ctt: return QStringLiteral("CTT");
    case HeaderLayout::Copier: return QStringLiteral("copier");
    case HeaderLayout::Plain: break;
    }
    return QStringLiteral("plain");
}

QString invalidChecksum(uint stored, uint computed, int digits)
{
    return QStringLiteral("invalid (stored %1, computed %2)").arg(hex(stored, digits), hex(computed, digits));
}

}  // namespace

QByteArray cartridgeLogo()
{
    static const uchar logo[48] = {
        0xCE, 0xED, 0x66, 0x66, 0xCC, 0x0D, 0x00, 0x0B, 0x03, 0x73, 0x00, 0x83, 0x00, 0x0C, 0x00, 0x0D,
        0x00, 0x08, 0x11, 0x1F, 0x88, 0x89, 0x00, 0x0E, 0xDC, 0xCC, 0x6E, 0xE6, 0xDD, 0xDD, 0xD9, 0x99,
        0xBB, 0xBB, 0x67, 0x63, 0x6E, 0x0E, 0xEC, 0xCC, 0xDD, 0xDC, 0x99, 0x9F, 0xBB, 0xB9, 0x33, 0x3E,
    };
    return QByteArray(reinterpret_cast<const char *>(logo), sizeof logo);
}

QString CartridgeDetails::headerChecksumText() const
{
    return headerChecksumValid() ? QStringLiteral("valid")
                                 : invalidChecksum(storedHeaderChecksum, computedHeaderChecksum, 2);
}

QString CartridgeDetails::globalChecksumText() const
{
    return globalChecksumValid() ? QStringLiteral("valid")
                                 : invalidChecksum(storedGlobalChecksum, computedGlobalChecksum, 4);
}

CartridgeDetails decodeCartridge(const RomDigest &rom)
{
    const QByteArray &head = rom.head();
    CartridgeDetails d;
    d.fileSize = rom.size();
    d.crc32 = rom.crc32();
    if (head.size() < kLeadBytes)
        throw IoError::readBeyondEnd(rom.size());
    d.layout = locateHeader(head.left(kLeadBytes), rom.size());
    const qint64 block = headerOffset(d.layout);
    if (head.size() < block + kHeaderBlockSize)
        throw IoError::readBeyondEnd();
    // The image starts 256 bytes before the block; offsets below are the
    // image's own, as the cartridge sees them.
    const qint64 image = block - 0x100;
    auto at = [&](int offset) { return uchar(head.at(image + offset)); };
    d.imageBytes = rom.size() - image;
    d.key = romKeyOf(head, rom.size(), rom.crc32());

    d.title = headerTitle(head.mid(block, kHeaderBlockSize));
    d.colour = at(0x143) == 0x80 ? QStringLiteral("supported")
             : at(0x143) == 0xC0 ? QStringLiteral("only") : QStringLiteral("none");
    // The hardware takes the Super Game Boy flag only beside the old
    // licensee code 0x33.
    d.superGameBoy = at(0x146) == 0x03 && at(0x14B) == 0x33;
    d.cartridge = cartridgeName(at(0x147));
    const uchar romCode = at(0x148);
    if (romCode <= 8) {
        d.romSize = QStringLiteral("%1 KiB").arg(32 << romCode);
        d.declaredRomBytes = qint64(32 * 1024) << romCode;
    } else {
        d.romSize = unknown(romCode);
    }
    d.ramSize = ramSizeName(at(0x149));
    d.destination = at(0x14A) == 0x00 ? QStringLiteral("Japan")
                  : at(0x14A) == 0x01 ? QStringLiteral("overseas") : unknown(at(0x14A));
    d.version = at(0x14C);
    d.logoValid = head.mid(image + 0x104, 48) == cartridgeLogo();

    uchar x = 0;
    for (int offset = 0x134; offset <= 0x14C; ++offset)
        x = uchar(x - at(offset) - 1);
    d.computedHeaderChecksum = x;
    d.storedHeaderChecksum = at(0x14D);

    // The global sum covers the image without its two checksum bytes; the
    // digest summed the whole file, copier header included.
    quint32 sum = rom.byteSum();
    for (qint64 i = 0; i < image; ++i)
        sum -= uchar(head.at(i));
    sum -= at(0x14E) + at(0x14F);
    d.computedGlobalChecksum = quint16(sum);
    d.storedGlobalChecksum = quint16(at(0x14E) << 8 | at(0x14F));
    return d;
}

CartridgeDetails decodeCartridge(const QByteArray &file)
{
    RomDigest rom;
    rom.add(file.constData(), file.size());
    return decodeCartridge(rom);
}

CartridgeDetails readCartridgeDetails(const QString &path)
{
    const QByteArray name = encodePath(path);
    // A NUL would cut the name to another file's; a name longer than any
    // path names nothing.
    if (name.isEmpty() || name.contains('\0') || name.size() >= PATH_MAX)
        throw IoError::fromErrno(ENOENT);
    // The type first: a FIFO, a device or a /proc file is never opened.
    struct stat st;
    if (::stat(name.constData(), &st) != 0)
        throw IoError::fromErrno(errno);
    if (!S_ISREG(st.st_mode))
        throw IoError::notRegularFile();
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        throw IoError::fromErrno(errno);
    const FileDescriptor closer(fd);
    // Replaced between the look and the opening.
    if (::fstat(fd, &st) != 0)
        throw IoError::fromErrno(errno);
    if (!S_ISREG(st.st_mode))
        throw IoError::notRegularFile();

    char buffer[65536];
    RomDigest rom;
    qint64 offset = 0;
    for (;;) {
        const qint64 n = readAt(fd, buffer, sizeof buffer, offset);
        if (offset == 0 && isArchive(QByteArray::fromRawData(buffer, int(n)))) {
            RomDigest inner;
            const ArchiveRom archived = readArchiveRom(fd, -1, &inner);
            CartridgeDetails d = decodeCartridge(inner);
            d.archiveEntry = archived.entryName;
            d.archiveRoms = archived.romCount;
            d.archiveRomsComplete = archived.romCountComplete;
            return d;
        }
        // The size the file had when looked at; a file that grows past the
        // limit while read is refused as well.
        if (st.st_size > kMaxRomBytes || offset + n > kMaxRomBytes)
            throw IoError::fileTooLarge();
        if (n == 0)
            break;
        rom.add(buffer, n);
        offset += n;
    }
    return decodeCartridge(rom);
}

QStringList detailLines(const CartridgeDetails &d, const QString &shownPath, const GameDatabase *databases,
                        bool translated)
{
    // The command's lines stay in English, which scripts read; a window
    // shows them in the user's language.
    const auto t = [translated](const char *text) {
        return translated ? QCoreApplication::translate("DetailLines", text) : QString::fromLatin1(text);
    };
    const auto yes = [&](bool on) { return on ? t(QT_TRANSLATE_NOOP("DetailLines", "yes")) : t(QT_TRANSLATE_NOOP("DetailLines", "no")); };
    QStringList lines{t(QT_TRANSLATE_NOOP("DetailLines", "File: ")) + shownPath};
    if (!d.archiveEntry.isEmpty())
        lines.append(t(QT_TRANSLATE_NOOP("DetailLines", "Archive entry: ")) + d.archiveEntry);
    if (d.archiveRoms > 1)
        lines.append((d.archiveRomsComplete ? t(QT_TRANSLATE_NOOP("DetailLines", "ROMs in the archive: %1 (the first is used)"))
                                            : t(QT_TRANSLATE_NOOP("DetailLines", "ROMs in the archive: %1 or more (the first is used)")))
                         .arg(d.archiveRoms));
    lines += {
        t(QT_TRANSLATE_NOOP("DetailLines", "Layout: ")) + layoutName(d.layout),
        t(QT_TRANSLATE_NOOP("DetailLines", "Title: ")) + d.title,
        t(QT_TRANSLATE_NOOP("DetailLines", "Colour: ")) + d.colour,
        t(QT_TRANSLATE_NOOP("DetailLines", "Super Game Boy: ")) + yes(d.superGameBoy),
        t(QT_TRANSLATE_NOOP("DetailLines", "Cartridge: ")) + d.cartridge,
        t(QT_TRANSLATE_NOOP("DetailLines", "ROM size: ")) + d.romSize,
        t(QT_TRANSLATE_NOOP("DetailLines", "RAM size: ")) + d.ramSize,
        t(QT_TRANSLATE_NOOP("DetailLines", "Destination: ")) + d.destination,
        t(QT_TRANSLATE_NOOP("DetailLines", "Version: ")) + QString::number(d.version),
        t(QT_TRANSLATE_NOOP("DetailLines", "Logo: "))
            + (d.logoValid ? t(QT_TRANSLATE_NOOP("DetailLines", "valid")) : t(QT_TRANSLATE_NOOP("DetailLines", "invalid"))),
        t(QT_TRANSLATE_NOOP("DetailLines", "Header checksum: ")) + d.headerChecksumText(),
        t(QT_TRANSLATE_NOOP("DetailLines", "Global checksum: ")) + d.globalChecksumText(),
        t(QT_TRANSLATE_NOOP("DetailLines", "File size: ")) + QString::number(d.fileSize),
        t(QT_TRANSLATE_NOOP("DetailLines", "CRC32: ")) + QString::number(d.crc32, 16).rightJustified(8, QLatin1Char('0')),
    };
    if (databases && !databases->isEmpty()) {
        if (const KnownGame *game = databases->find(d.key)) {
            lines.append(t(QT_TRANSLATE_NOOP("DetailLines", "Name: ")) + game->name);
            lines.append(t(QT_TRANSLATE_NOOP("DetailLines", "Database: ")) + databases->databaseText(game->database));
        } else {
            lines.append(t(QT_TRANSLATE_NOOP("DetailLines", "Name: not in the game databases")));
        }
    }
    return lines;
}

QString detailToolTip(const CartridgeDetails &d, const QString &shownPath, const GameDatabase *databases)
{
    QStringList lines;
    if (const KnownGame *game = databases ? databases->find(d.key) : nullptr)
        lines.append(shownText(game->name, kShownNameLength));  // a DAT's name may be megabytes
    // The data words of --info stay as they are; a person reads these.
    const auto shown = [](const QString &value) {
        static const char *const words[] = {QT_TRANSLATE_NOOP("CartridgeDetails", "ROM ONLY"),
                                            QT_TRANSLATE_NOOP("CartridgeDetails", "none")};
        for (const char *word : words)
            if (value == QLatin1String(word))
                return Texts::tr(word);
        if (value.startsWith(QLatin1String("unknown (")))
            return Texts::tr("unknown (%1)").arg(value.mid(9, value.size() - 10));
        return value;
    };
    lines.append(d.title.isEmpty() ? Texts::tr("(no title)") : d.title);
    lines.append(d.colour == QLatin1String("only") ? Texts::tr("Game Boy Color only")
                 : d.colour == QLatin1String("supported") ? Texts::tr("Color enhanced")
                                                          : Texts::tr("Game Boy"));
    if (d.superGameBoy)
        lines.append(Texts::tr("Super Game Boy"));
    lines.append(Texts::tr("%1, ROM %2, RAM %3").arg(shown(d.cartridge), shown(d.romSize), shown(d.ramSize)));
    if (!d.logoValid)
        lines.append(Texts::tr("Warning: the logo is invalid"));
    // Whole sentences, translated whole: no English word inside another
    // language's line.
    if (!d.headerChecksumValid())
        lines.append(Texts::tr("Warning: header checksum invalid (stored %1, computed %2)")
                         .arg(hex(d.storedHeaderChecksum, 2), hex(d.computedHeaderChecksum, 2)));
    if (!d.globalChecksumValid())
        lines.append(Texts::tr("Warning: global checksum invalid (stored %1, computed %2)")
                         .arg(hex(d.storedGlobalChecksum, 4), hex(d.computedGlobalChecksum, 4)));
    if (d.declaredRomBytes >= 0 && d.declaredRomBytes != d.imageBytes)
        lines.append(Texts::tr("Warning: the header says %1, the file holds %2 bytes")
                         .arg(shown(d.romSize))
                         .arg(d.imageBytes));
    if (d.archiveRoms > 1)
        lines.append((d.archiveRomsComplete
                           ? Texts::tr("Archive entry: %1 (the first of %n ROMs)", nullptr, d.archiveRoms)
                           : Texts::tr("Archive entry: %1 (the first of %n ROMs or more)", nullptr, d.archiveRoms))
                         .arg(d.archiveEntry));
    else if (!d.archiveEntry.isEmpty())
        lines.append(Texts::tr("Archive entry: %1").arg(d.archiveEntry));
    lines.append(shownPath);
    return lines.join(QLatin1Char('\n'));
}

QString detailToolTipOfFile(const QString &path, const GameDatabase &databases)
{
    // A tool-tip is read, not laid out for seconds: a huge name is cut.
    const QString shown = shownText(displayPath(path), kShownPathLength);
    try {
        const CartridgeDetails details = readCartridgeDetails(path);
        return detailToolTip(details, shown, &databases);
    } catch (const IoError &error) {
        return shown + QStringLiteral(": ") + error.text();
    }
}

}  // namespace vantorix
