// What a cartridge header says, from images the test builds.
#include "platform/IoError.h"
#include "names/CartridgeDetails.h"
#include "samples/ArchiveMaker.h"
#include "tests/TestSupport.h"

#include <QProcess>

#include <gtest/gtest.h>
#include <zlib.h>

using namespace vantorix;
using namespace testing_support;

namespace {

// A plain 32 KiB image with the logo and both checksums right, then the
// given header bytes changed.
QByteArray soundImage(const QList<QPair<int, uchar>> &bytes = {}, qint64 size = 32768)
{
    QByteArray image = romImage("TEST GAME", size);
    image.replace(0x104, 48, cartridgeLogo());
    for (const auto &[offset, value] : bytes)
        image[offset] = char(value);
    uchar x = 0;
    for (int i = 0x134; i <= 0x14C; ++i)
        x = uchar(x - uchar(image.at(i)) - 1);
    image[0x14D] = char(x);
    quint16 sum = 0;
    for (int i = 0; i < image.size(); ++i)
        if (i != 0x14E && i != 0x14F)
            sum = quint16(sum + uchar(image.at(i)));
    image[0x14E] = char(sum >> 8);
    image[0x14F] = char(sum & 0xFF);
    return image;
}

TEST(CartridgeDetails, EachFieldAndItsEdges)
{
    struct Case {
        int offset;
        uchar value;
        QString CartridgeDetails::*field;
        const char *expected;
    };
    const Case cases[] = {
        {0x143, 0x80, &CartridgeDetails::colour, "supported"},
        {0x143, 0xC0, &CartridgeDetails::colour, "only"},
        {0x143, 0x40, &CartridgeDetails::colour, "none"},
        {0x147, 0x00, &CartridgeDetails::cartridge, "ROM ONLY"},
        {0x147, 0x13, &CartridgeDetails::cartridge, "MBC3+RAM+BATTERY"},
        {0x147, 0x22, &CartridgeDetails::cartridge, "MBC7+SENSOR+RUMBLE+RAM+BATTERY"},
        {0x147, 0xFE, &CartridgeDetails::cartridge, "HuC3"},
        {0x147, 0x04, &CartridgeDetails::cartridge, "unknown (0x04)"},
        {0x147, 0xAB, &CartridgeDetails::cartridge, "unknown (0xAB)"},
        {0x148, 0x00, &CartridgeDetails::romSize, "32 KiB"},
        {0x148, 0x08, &CartridgeDetails::romSize, "8192 KiB"},
        {0x148, 0x09, &CartridgeDetails::romSize, "unknown (0x09)"},
        {0x149, 0x00, &CartridgeDetails::ramSize, "none"},
        {0x149, 0x04, &CartridgeDetails::ramSize, "128 KiB"},
        {0x149, 0x05, &CartridgeDetails::ramSize, "64 KiB"},
        {0x149, 0x06, &CartridgeDetails::ramSize, "unknown (0x06)"},
        {0x14A, 0x00, &CartridgeDetails::destination, "Japan"},
        {0x14A, 0x01, &CartridgeDetails::destination, "overseas"},
        {0x14A, 0x02, &CartridgeDetails::destination, "unknown (0x02)"},
    };
    for (const Case &c : cases) {
        const CartridgeDetails d = decodeCartridge(soundImage({{c.offset, c.value}}));
        EXPECT_EQ(d.*c.field, QString::fromLatin1(c.expected)) << std::hex << c.offset << " " << int(c.value);
        EXPECT_TRUE(d.logoValid && d.headerChecksumValid() && d.globalChecksumValid());
    }
    const CartridgeDetails d = decodeCartridge(soundImage({{0x146, 0x03}, {0x14B, 0x33}, {0x14C, 200}}));
    EXPECT_TRUE(d.superGameBoy);
    EXPECT_EQ(d.version, 200);
    EXPECT_EQ(d.title, QStringLiteral("TEST GAME"));
    EXPECT_FALSE(decodeCartridge(soundImage({{0x146, 0x02}, {0x14B, 0x33}})).superGameBoy);
    // The hardware ignores the flag without the old licensee code 0x33.
    EXPECT_FALSE(decodeCartridge(soundImage({{0x146, 0x03}, {0x14B, 0x01}})).superGameBoy);
}

TEST(CartridgeDetails, TitlesAsTheHeaderHoldsThem)
{
    const struct {
        QByteArray bytes;  // the 16 title bytes
        const char *shown;
    } cases[] = {
        {QByteArray("CPU_INSTRS\0\0\0\0\0\0", 16), "CPU_INSTRS"},
        {QByteArray("ADJUSTRIS V1.00\0", 16), "ADJUSTRIS V1.00"},
        {QByteArray("AEVILIA\0\0\0\0ISSO\x80", 16), "AEVILIA"},            // a maker's code after
        {QByteArray("FIFTEEN LETTERS\xC0", 16), "FIFTEEN LETTERS"},          // colour flag
        {QByteArray("SIXTEEN LETTERS!", 16), "SIXTEEN LETTERS!"},
        {QByteArray("  T\x01\xE9TE  \0\0\0\0\0\0\0", 16), "T??TE"},   // not ASCII: "?"
    };
    for (const auto &c : cases) {
        QByteArray image = soundImage();
        image.replace(0x134, 16, c.bytes);
        EXPECT_EQ(decodeCartridge(image).title, QString::fromLatin1(c.shown)) << c.shown;
    }
}

TEST(CartridgeDetails, BrokenDumpsAndTheThreeLayouts)
{
    QByteArray image = soundImage();
    image[0x104] = 0;       // logo
    image[0x14D] = '\x12';  // header checksum
    image[0x7FFF] = 1;      // one byte more in the sum
    const CartridgeDetails broken = decodeCartridge(image);
    const CartridgeDetails sound = decodeCartridge(soundImage());
    EXPECT_FALSE(broken.logoValid);
    const auto hex = [](uint value, int digits) {
        return QString::number(value, 16).toUpper().rightJustified(digits, QLatin1Char('0'));
    };
    EXPECT_EQ(broken.headerChecksumText(),
              "invalid (stored 0x12, computed 0x" + hex(sound.storedHeaderChecksum, 2) + ")");
    EXPECT_TRUE(broken.globalChecksumText().startsWith(
        "invalid (stored 0x" + hex(sound.storedGlobalChecksum, 4) + ", computed 0x"));

    // The same image behind a copier header and inside a CTT file: the
    // offsets are the image's own.
    QByteArray copier = QByteArray(512, '\0') + soundImage();
    copier[0] = 4;
    const CartridgeDetails fromCopier = decodeCartridge(copier);
    EXPECT_EQ(fromCopier.layout, HeaderLayout::Copier);
    EXPECT_TRUE(fromCopier.logoValid && fromCopier.headerChecksumValid() && fromCopier.globalChecksumValid());
    EXPECT_EQ(fromCopier.imageBytes, 32768);
    QByteArray ctt = QByteArray("CTT") + QByteArray(67, '\0') + soundImage();
    const CartridgeDetails fromCtt = decodeCartridge(ctt);
    EXPECT_EQ(fromCtt.layout, HeaderLayout::Ctt);
    EXPECT_TRUE(fromCtt.logoValid && fromCtt.globalChecksumValid());
    EXPECT_EQ(fromCtt.title, QStringLiteral("TEST GAME"));

    // Too short for the block of its layout; a size the header disagrees with.
    for (const QByteArray &shortFile : {soundImage().left(335), ctt.left(405), QByteArray("ab")})
        EXPECT_THROW(decodeCartridge(shortFile), IoError);
    const CartridgeDetails cut = decodeCartridge(soundImage().left(16384));
    EXPECT_TRUE(detailToolTip(cut, "/x.gb").contains("the header says 32 KiB, the file holds 16384 bytes"));
}

TEST(CartridgeDetails, InfoCommandPrintsEveryFileAndReportsFailures)
{
    QTemporaryDir dir;
    const QByteArray image = soundImage({{0x143, 0xC0}});
    const QString good = writeFile(dir.filePath("good.gb"), image);
    const QString zipped = writeFile(dir.filePath("good.zip"),
                                     makeArchive(ArchiveFormat::ZipDeflated, {{"in\nside.gb", image}, {"b.gb", "x"}}));
    QProcess info;
    info.start(KELPAD_PATH, {"--info", good, dir.filePath("missing.gb"), zipped});
    ASSERT_TRUE(info.waitForFinished(10000));
    EXPECT_EQ(info.exitCode(), 1);
    const QString crc = QString::number(quint32(::crc32(0, reinterpret_cast<const Bytef *>(image.constData()),
                                                        uInt(image.size()))), 16).rightJustified(8, '0');
    const QString block = QStringLiteral(
        "Layout: plain\nTitle: TEST GAME\nColour: only\nSuper Game Boy: no\nCartridge: ROM ONLY\n"
        "ROM size: 32 KiB\nRAM size: none\nDestination: Japan\nVersion: 0\nLogo: valid\n"
        "Header checksum: valid\nGlobal checksum: valid\nFile size: 32768\nCRC32: %1\n").arg(crc);
    // The entry's name is anyone's: its line break is printed as "?".
    EXPECT_EQ(QString::fromUtf8(info.readAllStandardOutput()),
              "File: " + good + "\n" + block + "\nFile: " + zipped + "\nArchive entry: in?side.gb\n"
                  + "ROMs in the archive: 2 (the first is used)\n" + block);
    EXPECT_EQ(QString::fromUtf8(info.readAllStandardError()), dir.filePath("missing.gb") + ": File not found\n");
    info.start(KELPAD_PATH, {"--info"});
    ASSERT_TRUE(info.waitForFinished(10000));
    EXPECT_EQ(info.exitCode(), 2);
}

QString sparseFile(const QString &path, qint64 size)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    EXPECT_TRUE(file.resize(size));
    return path;
}

TEST(CartridgeDetails, OnlyRegularFilesOfBoundedSizeAreOpened)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe.gb");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    const struct {
        QString path;
        int code;
    } cases[] = {
        {fifo, vantorix::IoError::NotRegularFile},
        {"/dev/zero", vantorix::IoError::NotRegularFile},
        {dir.path(), vantorix::IoError::NotRegularFile},
        {"/proc/self/pagemap", vantorix::IoError::FileTooLarge},  // a regular file that claims terabytes
        {sparseFile(dir.filePath("sparse.gb"), qint64(1) << 30), vantorix::IoError::FileTooLarge},
        {dir.filePath("sparse.gb") + QChar(0) + "../x.gb", vantorix::IoError::FileNotFound},
        {dir.filePath(QString(5000, 'n')), vantorix::IoError::FileNotFound},
    };
    for (const auto &c : cases) {
        try {
            vantorix::readCartridgeDetails(c.path);
            ADD_FAILURE() << "read " << c.path.left(60).toStdString();
        } catch (const vantorix::IoError &error) {
            EXPECT_EQ(error.code(), c.code) << c.path.left(60).toStdString() << ": " << error.text().toStdString();
        }
    }
}

}  // namespace
