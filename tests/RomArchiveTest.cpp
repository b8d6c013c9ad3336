// Zipped and 7z ROMs read as the ROM inside them.
#include "rom/GameListEntry.h"
#include "platform/IoError.h"
#include "names/CartridgeDetails.h"
#include "reading/HeaderPass.h"
#include "rom/ArchiveParts.h"
#include "rom/RomArchive.h"
#include "rom/RomDigest.h"
#include "samples/ArchiveMaker.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

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
        int roms = 1;          // entries with a ROM's name, on the whole read
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
         "dump.bin", game, 0, 0},
        {"zip of three ROMs: the first", makeArchive(ArchiveFormat::ZipDeflated,
                                                     {{"a.txt", other}, {"one.gb", game}, {"two.gbc", other},
                                                      {"three.GB", other}}),
         "one.gb", game, 0, 3},
        {"7z of two ROMs: the first", makeArchive(ArchiveFormat::SevenZip, {{"one.gb", game}, {"two.gb", other}}),
         "one.gb", game, 0, 2},
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
        EXPECT_EQ(whole.romCount, c.roms);
        EXPECT_TRUE(whole.romCountComplete);
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

    // A solid 7z's later ROMs are counted only as far as its budget goes.
    const QByteArray padded = makeArchive(ArchiveFormat::SevenZip, {{"one.gb", game},
                                                                    {"filler.bin", QByteArray(kMaxArchiveDecodedBytes, '\0')},
                                                                    {"two.gb", other}});
    RomDigest counted;
    const ArchiveRom first = readArchiveRom(padded, -1, &counted);
    EXPECT_EQ(first.entryName, QStringLiteral("one.gb"));
    EXPECT_EQ(first.romCount, 1);
    EXPECT_FALSE(first.romCountComplete);
}

// What an archive may cost is bounded, and what is not a ROM inside one
// (a link, a readme in the same solid stream) never stands in its way.
TEST(RomArchive, HostileArchivesAreBoundedAndNamedForWhatTheyAre)
{
    const QByteArray game = romImage("INSIDE");
    QTemporaryDir dir;
    QByteArray headerLocked;  // 7z with its names encrypted, where the 7z tool is at hand
    const QString sevenZip = QStandardPaths::findExecutable("7z");
    if (!sevenZip.isEmpty()) {
        writeFile(dir.filePath("g.gb"), game);
        QProcess tool;
        tool.setWorkingDirectory(dir.path());
        tool.start(sevenZip, {"a", "-psecret", "-mhe=on", "locked.7z", "g.gb"});
        if (tool.waitForFinished(60000) && tool.exitCode() == 0)
            headerLocked = readFile(dir.filePath("locked.7z"));
    }
    const QString longName = QString(1 << 20, 'n') + ".gb";
    const struct {
        const char *what;
        QByteArray archive;
        int error;           // IoError code of the whole read, else 0
        qsizetype nameSize;  // of the entry's name as shown, when read
    } cases[] = {
        {"solid 7z, the ROM behind more than the bound",
         makeArchive(ArchiveFormat::SevenZip, {{"zeros.bin", QByteArray(kMaxArchiveDecodedBytes + 1, '\0')},
                                              {"game.gb", game}}),
         IoError::FileTooLarge, 0},
        {"solid 7z, a readme of 1 MiB before the ROM",
         makeArchive(ArchiveFormat::SevenZip, {{"readme.txt", QByteArray(1 << 20, 'r')}, {"game.gb", game}}), 0, 7},
        {"solid 7z, 64 files of 64 KiB before the ROM",
         makeArchive(ArchiveFormat::SevenZip, [&] {
             ArchiveEntries entries;
             for (int i = 0; i < 64; ++i)
                 entries.append({QString("part%1.bin").arg(i), QByteArray(65536, char(i))});
             entries.append({"game.gb", game});
             return entries;
         }()),
         0, 7},
        {"zip, the first .gb a link to /dev/zero",
         makeArchive(ArchiveFormat::ZipDeflated, {{symbolicLinkEntry("a.gb"), "/dev/zero"}, {"b.gb", game}}), 0, 4},
        {"7z, the first .gb a link",
         makeArchive(ArchiveFormat::SevenZip, {{symbolicLinkEntry("a.gb"), "/dev/zero"}, {"b.gb", game}}), 0, 4},
        {"7z, a name of 1 MiB", makeArchive(ArchiveFormat::SevenZip, {{longName, game}}), 0,
         kShownEntryNameLength + 1},
        // A zip's names stop at 64 KiB.
        {"zip, a name of 60,000 bytes", makeArchive(ArchiveFormat::ZipStored, {{longName.right(60000), game}}), 0,
         kShownEntryNameLength + 1},
        {"7z, names encrypted", headerLocked, IoError::LockedArchive, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        if (c.archive.isEmpty())
            continue;  // no 7z tool
        const QString path = writeFile(dir.filePath("case"), c.archive);
        try {
            const CartridgeDetails details = readCartridgeDetails(path);
            EXPECT_EQ(c.error, 0) << "read";
            EXPECT_EQ(details.title, QStringLiteral("INSIDE"));
            EXPECT_EQ(details.archiveEntry.size(), c.nameSize);
        } catch (const IoError &e) {
            EXPECT_EQ(e.code(), c.error) << e.text().toStdString();
        }
    }
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
