// Zipped and 7z ROMs read as the ROM inside them.
#include "app/GameListEntry.h"
#include "app/IoError.h"
#include "catalogue/CartridgeDetails.h"
#include "catalogue/HeaderPass.h"
#include "catalogue/RomArchive.h"
#include "catalogue/RomDigest.h"
#include "samples/ArchiveMaker.h"
#include "tests/TestSupport.h"

#include <QDir>

#include <gtest/gtest.h>
#include <zlib.h>

using namespace vantorix;
using namespace testing_support;

namespace {

quint32 crcOf(const QByteArray &bytes)
{
    return quint32(::crc32(0, reinterpret_cast<const Bytef *>(bytes.constData()), uInt(bytes.size())));
}

TEST(RomArchive, ReadsTheRomInsideOrSaysWhatIsWrong)
{
    const QByteArray game = romImage("ZIPPED");
    const QByteArray other = romImage("OTHER");
    struct Case {
        const char *what;
        QByteArray archive;
        const char *entry;     // the ROM chosen; empty when an error is expected
        QByteArray content;
        int error;             // IoError code of the head read, else 0
    };
    QByteArray cut = makeArchive(ArchiveFormat::ZipDeflated, {{"g.gb", game}});
    cut.truncate(cut.size() / 2);
    QByteArray badCrc = makeArchive(ArchiveFormat::ZipStored, {{"g.gb", game}});
    badCrc[badCrc.indexOf("ZIPPED")] = 'X';
    const Case cases[] = {
        {"zip deflated", makeArchive(ArchiveFormat::ZipDeflated, {{"Game.gb", game}}), "Game.gb", game, 0},
        {"zip stored", makeArchive(ArchiveFormat::ZipStored, {{"Game.gb", game}}), "Game.gb", game, 0},
        {"7z", makeArchive(ArchiveFormat::SevenZip, {{"Game.gb", game}}), "Game.gb", game, 0},
        {"ROM not first", makeArchive(ArchiveFormat::ZipDeflated,
                                      {{"readme.txt", "hello"}, {"docs/", {}}, {"docs/Game.GBC", game}}),
         "docs/Game.GBC", game, 0},
        {"7z, ROM not first", makeArchive(ArchiveFormat::SevenZip, {{"a.txt", other}, {"b.sgb", game}}),
         "b.sgb", game, 0},
        {"no ROM name: the first file", makeArchive(ArchiveFormat::ZipDeflated,
                                                    {{"folder/", {}}, {"dump.bin", game}, {"x.txt", other}}),
         "dump.bin", game, 0},
        {"a name that climbs", makeArchive(ArchiveFormat::ZipDeflated, {{"../../x.gb", game}}), "../../x.gb",
         game, 0},
        {"empty zip", makeArchive(ArchiveFormat::ZipDeflated, {}), "", {}, IoError::EmptyArchive},
        {"only a folder", makeArchive(ArchiveFormat::SevenZip, {{"dir/", {}}}), "", {}, IoError::EmptyArchive},
        {"truncated", cut, "", {}, IoError::DamagedArchive},
        {"not an archive after its mark", QByteArray("PK\x03\x04garbage", 11), "", {}, IoError::DamagedArchive},
        {"locked", makeArchive(ArchiveFormat::ZipDeflated, {{"g.gb", game}}, "secret"), "", {},
         IoError::LockedArchive},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_FALSE(c.archive.isEmpty());
        EXPECT_TRUE(isArchive(c.archive));
        if (c.error) {
            try {
                readArchiveRom(c.archive, kHeadBytes);
                ADD_FAILURE() << "no error";
            } catch (const IoError &e) {
                EXPECT_EQ(e.code(), c.error) << e.text().toStdString();
            }
            continue;
        }
        const ArchiveRom head = readArchiveRom(c.archive, kHeadBytes);
        EXPECT_EQ(head.entryName, QString::fromUtf8(c.entry));
        EXPECT_EQ(head.bytes, c.content.left(kHeadBytes));
        EXPECT_EQ(head.size, c.content.size());
        RomDigest digest;
        const ArchiveRom whole = readArchiveRom(c.archive, -1, &digest);
        EXPECT_EQ(whole.crc32, crcOf(c.content));
        EXPECT_EQ(digest.size(), c.content.size());
    }

    // The head alone never looks at the CRC; the whole read checks it.
    EXPECT_EQ(readArchiveRom(badCrc, kHeadBytes).size, game.size());
    RomDigest digest;
    EXPECT_THROW(readArchiveRom(badCrc, -1, &digest), IoError);

    // A ROM over the limit: its head is read, its whole never.
    const QByteArray huge = makeArchive(ArchiveFormat::ZipDeflated, {{"huge.gb", QByteArray(kMaxRomBytes + 1, '\0')}});
    EXPECT_EQ(readArchiveRom(huge, kHeadBytes).bytes.size(), kHeadBytes);
    try {
        RomDigest big;
        readArchiveRom(huge, -1, &big);
        ADD_FAILURE() << "no error";
    } catch (const IoError &e) {
        EXPECT_EQ(e.code(), IoError::FileTooLarge);
    }
    EXPECT_FALSE(isArchive(game));
    EXPECT_FALSE(isArchive("PK"));
}

TEST(RomArchive, ThePassAndTheDetailsReadArchivesInAFolder)
{
    QTemporaryDir dir;
    const QByteArray game = romImage("ZIPPED");
    writeFile(dir.filePath("a.zip"), makeArchive(ArchiveFormat::ZipDeflated, {{"Inner.gb", game}}));
    writeFile(dir.filePath("b.7z"), makeArchive(ArchiveFormat::SevenZip, {{"b.gbc", romImage("SEVEN")}}));
    writeFile(dir.filePath("c.zip"), makeArchive(ArchiveFormat::ZipDeflated, {}));
    TextEntryList list;
    list.items = {"a.zip", "b.7z", "c.zip"};
    const auto failures = runHeaderPass(list, dir.path());
    EXPECT_EQ(list.items, QStringList({composeEntry("ZIPPED", "A.ZIP"), composeEntry("SEVEN", "B.7Z"), "c.zip"}));
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].error.code(), IoError::EmptyArchive);

    const CartridgeDetails details = readCartridgeDetails(dir.filePath("a.zip"));
    EXPECT_EQ(details.archiveEntry, QStringLiteral("Inner.gb"));
    EXPECT_EQ(details.fileSize, game.size());
    EXPECT_EQ(details.crc32, crcOf(game));
    EXPECT_TRUE(detailToolTip(details, "/a.zip").contains("Archive entry: Inner.gb"));
}

}  // namespace
