#include "rom/GameListEntry.h"
#include "platform/IoError.h"
#include "platform/FilePath.h"
#include "reading/HeaderPass.h"
#include "rom/NameOrder.h"
#include "rom/RomHeader.h"
#include "tests/TestSupport.h"

#include <QFile>
#include <QProcess>

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vantorix;
using namespace testing_support;

namespace {

QString titleOf(const QByteArray &title16)
{
    QByteArray block(80, '\0');
    block.replace(52, title16.size(), title16);
    return titleText(block);
}

TEST(RomHeader, LayoutsInTheirOrder)
{
    EXPECT_EQ(locateHeader("CTT", 33280), HeaderLayout::Ctt);          // CTT wins over copier
    EXPECT_EQ(locateHeader(QByteArray("\x04\x00\x00", 3), 33280), HeaderLayout::Copier);
    EXPECT_EQ(locateHeader(QByteArray("\x04\x00\x00", 3), 32768), HeaderLayout::Plain);
    EXPECT_EQ(locateHeader(QByteArray("\x00\x00\x00", 3), 512), HeaderLayout::Copier);
    EXPECT_EQ(locateHeader("CTX", 512 + 'C' * 8192 + 'T' * 2097152), HeaderLayout::Copier);
    EXPECT_EQ(locateHeader(QByteArray("\xFF\xFF\x00", 3), 512 + 255 * 8192LL + 255 * 2097152LL),
              HeaderLayout::Copier);  // 64-bit arithmetic
    EXPECT_EQ(headerOffset(HeaderLayout::Ctt), 326);
    EXPECT_EQ(headerOffset(HeaderLayout::Copier), 768);
    EXPECT_EQ(headerOffset(HeaderLayout::Plain), 256);
}

TEST(RomHeader, TitleFilter)
{
    EXPECT_EQ(titleOf("DR.MARIO"), QStringLiteral("DRMARIO"));
    EXPECT_EQ(titleOf(QByteArray("TETRIS\0AB", 9)), QStringLiteral("TETRIS"));  // ends at the padding
    EXPECT_EQ(titleOf(QByteArray("AEVILIA\0\0\0\0ISSO", 15)), QStringLiteral("AEVILIA"));
    EXPECT_EQ(titleOf(QByteArray(16, '\0')), QString());
    EXPECT_EQ(titleOf(QByteArray(16, '\xFF')), QString());
    EXPECT_EQ(titleOf("  SUPER  MARIO "), QStringLiteral("SUPER  MARIO"));
    EXPECT_EQ(titleOf("pokemon_red-'x"), QStringLiteral("pokemonredx"));
    EXPECT_EQ(entryFileName(QStringLiteral(" tetris.gb\t")), QStringLiteral("TETRIS.GB"));
    EXPECT_EQ(entryFileName(QStringLiteral("élève.gb")), QStringLiteral("ÉLÈVE.GB"));
}

TEST(RomHeader, ImagesAndShortFiles)
{
    const QString tetris = composeEntry("TETRIS", "TETRIS.GB");
    EXPECT_EQ(entryFromImage(romImage("TETRIS"), "Tetris.gb"), tetris);
    EXPECT_EQ(entryFromImage(romImage("TETRIS", 336), "Tetris.gb"), tetris);
    EXPECT_THROW(entryFromImage(romImage("TETRIS", 335), "a"), IoError);
    QByteArray copier = romImage("COPIED", 33280, 820);
    copier[0] = 4;
    copier[1] = 0;
    EXPECT_EQ(entryFromImage(copier, "c.gb"), composeEntry("COPIED", "C.GB"));
    QByteArray ctt = romImage("CTTGAME", 406, 378);
    ctt.replace(0, 3, "CTT");
    EXPECT_EQ(entryFromImage(ctt, "x.gb"), composeEntry("CTTGAME", "X.GB"));
    EXPECT_THROW(entryFromImage(ctt.left(405), "x.gb"), IoError);
    EXPECT_THROW(entryFromImage(QByteArray(512, '\0'), "z.gb"), IoError);
    EXPECT_THROW(entryFromImage("ab", "z"), IoError);
}

TEST(HeaderPass, OneReadDecidesEveryLayoutAndItsEnd)
{
    QTemporaryDir dir;
    QByteArray ctt = romImage("CTT", 406, 378);
    ctt.replace(0, 3, "CTT");
    QByteArray copier = romImage("COPY", 512 + 8192, 820);  // one block behind the copier header
    copier[0] = 1;
    QByteArray emptyCopier(512, '\0');  // no blocks: ends before its block
    const struct {
        const char *name;
        QByteArray image;
        const char *title;  // null: read beyond end of file
    } files[] = {
        {"plain.gb", romImage("PLAIN", 336), "PLAIN"},
        {"plainshort.gb", romImage("PLAIN", 335), nullptr},
        {"ctt.gb", ctt, "CTT"},
        {"cttshort.gb", ctt.left(405), nullptr},
        {"copier.gb", copier, "COPY"},
        {"copierempty.gb", emptyCopier, nullptr},
        {"two.gb", "CT", nullptr},
    };
    for (const auto &f : files) {
        const QString path = writeFile(dir.filePath(f.name), f.image);
        if (f.title) {
            EXPECT_EQ(readRomEntry(path, f.name), composeEntry(f.title, entryFileName(f.name))) << f.name;
        } else {
            EXPECT_THROW(readRomEntry(path, f.name), IoError) << f.name;
        }
    }
}

TEST(HeaderPass, BadFilesAreReportedAndThePassGoesOn)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("a.gb"), romImage("ALPHA"));
    const QString readOnly = writeFile(dir.filePath("b.gb"), romImage("BRAVO"));
    QFile::setPermissions(readOnly, QFile::ReadOwner);
    writeFile(dir.filePath("c.gb"), QByteArray(100, 'x'));  // too short
    writeFile(dir.filePath("d.gb"), romImage("DELTA"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("e.gb")).constData(), 0644), 0);

    vantorix::TextEntryList list;
    list.items = {"a.gb", "b.gb", "c.gb", "d.gb", "e.gb", "missing.gb"};
    QStringList seen;
    const auto failures = runHeaderPass(list, dir.path(), [&](const QString &n) { seen.append(n); });
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].index, 2);
    EXPECT_EQ(failures[0].error.text(), QStringLiteral("Read beyond end of file"));
    EXPECT_EQ(list.items[0], composeEntry("ALPHA", "A.GB"));
    EXPECT_EQ(list.items[1], composeEntry("BRAVO", "B.GB"));  // read-only converts
    EXPECT_EQ(list.items[2], QStringLiteral("c.gb"));
    EXPECT_EQ(list.items[3], composeEntry("DELTA", "D.GB"));  // after the bad file
    EXPECT_EQ(list.items.mid(4), (QStringList{"e.gb", "missing.gb"}));  // the FIFO is skipped
    EXPECT_EQ(seen, (QStringList{"A.GB", "B.GB", "C.GB", "D.GB"}));
}

TEST(ScanCommand, PrintsEntriesInOrderAndReportsFailures)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("b.GB"), romImage("BRAVO"));
    writeFile(dir.filePath("A.gb"), romImage("ALPHA"));
    writeFile(dir.filePath("c.gbc"), romImage("COLOR"));
    writeFile(dir.filePath(".hidden.gb"), romImage("HIDDEN"));
    writeFile(dir.filePath("notes.txt"), "not a game");
    QProcess scan;
    scan.start(KELPAD_PATH, {"--scan", dir.path()});
    ASSERT_TRUE(scan.waitForFinished(10000));
    EXPECT_EQ(scan.exitCode(), 0);
    // By default every kind of ROM, as the reader's first filter; a text
    // file is none.
    EXPECT_EQ(QString::fromUtf8(scan.readAllStandardOutput()), composeEntry("ALPHA", "A.GB") + "\n"
                                                                  + composeEntry("BRAVO", "B.GB") + "\n"
                                                                  + composeEntry("COLOR", "C.GBC") + "\n");

    writeFile(dir.filePath("short.gbc"), "xy");
    scan.start(KELPAD_PATH, {"--scan", dir.path(), "--mask", "*.GBC;*.none"});
    ASSERT_TRUE(scan.waitForFinished(10000));
    EXPECT_EQ(scan.exitCode(), 1);
    EXPECT_EQ(QString::fromUtf8(scan.readAllStandardOutput()), composeEntry("COLOR", "C.GBC") + "\n");
    EXPECT_EQ(QString::fromUtf8(scan.readAllStandardError()), QStringLiteral("short.gbc: Read beyond end of file\n"));

    scan.start(KELPAD_PATH, {"--scan", dir.filePath("nope")});
    ASSERT_TRUE(scan.waitForFinished(10000));
    EXPECT_EQ(scan.exitCode(), 2);
    scan.start(KELPAD_PATH, {"--scan"});
    ASSERT_TRUE(scan.waitForFinished(10000));
    EXPECT_EQ(scan.exitCode(), 2);
}

// Every kind of name and header layout, printed by the command: ASCII
// names are composed byte by byte, the others as texts, and both must
// give the entries the lists show.
TEST(ScanCommand, EntriesOfEveryKindOfName)
{
    QByteArray copier = romImage("COPIED", 33280, 768 + 52);
    copier[0] = 4;
    copier[1] = 0;
    QByteArray ctt = romImage("CARTEL", 32768, 326 + 52);
    ctt.replace(0, 3, "CTT");
    const struct {
        QByteArray name;
        QByteArray image;
        QString entry;
    } cases[] = {
        {"plain.gb", romImage("PLAIN"), composeEntry("PLAIN", "PLAIN.GB")},
        {"copier.gb", copier, composeEntry("COPIED", "COPIER.GB")},
        {"ctt.gb", ctt, composeEntry("CARTEL", "CTT.GB")},
        {"  spaced .gb", romImage("SPACED"), composeEntry("SPACED", "SPACED .GB")},
        {"tab\tin.gb", romImage("TAB"), composeEntry("TAB", "TAB?IN.GB")},
        {"del\x7f.gb", romImage("DEL"), composeEntry("DEL", "DEL?.GB")},
        {"a rather long name.gb", romImage("LONG"), composeEntry("LONG", "A RATHER LONG NAME.GB")},
        {"\xc3\xa9t\xc3\xa9.gb", romImage("SUMMER"), composeEntry("SUMMER", QString::fromUtf8("\xc3\x89T\xc3\x89.GB"))},
        {"latin\xe9.gb", romImage("LATIN"), composeEntry("LATIN", QString::fromUtf8("LATIN\xc3\x89.GB"))},
        // No title after the title rule: the file's name, as on disk.
        {"04-sweep.gb", romImage(""), composeEntry("04-sweep", "04-SWEEP.GB")},
        {"05.noise.gbc", romImage("!?-"), composeEntry("05.noise", "05.NOISE.GBC")},
        {"\xc3\xa9" "cho.gb", romImage(""), composeEntry(QString::fromUtf8("\xc3\xa9" "cho"), QString::fromUtf8("\xc3\x89" "CHO.GB"))},
    };
    QTemporaryDir dir;
    for (const auto &c : cases) {  // by bytes: one name is no UTF-8
        const int fd = ::open((QFile::encodeName(dir.path()) + '/' + c.name).constData(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0) << c.name.constData();
        ASSERT_EQ(::write(fd, c.image.constData(), size_t(c.image.size())), c.image.size());
        ::close(fd);
    }
    QProcess scan;
    scan.start(KELPAD_PATH, {"--scan", dir.path()});
    ASSERT_TRUE(scan.waitForFinished(10000));
    EXPECT_EQ(scan.exitCode(), 0) << scan.readAllStandardError().constData();
    QStringList printed = QString::fromUtf8(scan.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    for (const auto &c : cases)
        EXPECT_TRUE(printed.removeOne(c.entry)) << c.entry.toStdString();
    EXPECT_EQ(printed, QStringList());

    // Names alike but for letter case, in ASCII or not: each keeps its own.
    writeFile(dir.filePath("twin.gb"), romImage("LOWER"));
    writeFile(dir.filePath("TWIN.GB"), romImage("UPPER"));
    const QString small = QString::fromUtf8("\xc3\xa9t\xc3\xa9.gb");
    const QString capital = QString::fromUtf8("\xc3\x89T\xc3\x89.gb");
    writeFile(dir.filePath(capital), romImage("CAPITAL"));
    scan.start(KELPAD_PATH, {"--scan", dir.path(), "--mask", "twin.gb;??t??.gb"});
    ASSERT_TRUE(scan.waitForFinished(10000));
    EXPECT_EQ(QString::fromUtf8(scan.readAllStandardOutput()),
              composeEntry("UPPER", "TWIN.GB") + "\n" + composeEntry("LOWER", "twin.gb") + "\n"
                  + composeEntry("CAPITAL", capital) + "\n" + composeEntry("SUMMER", small) + "\n");
}

// The order of the lists: case-folded names compared as UTF-16 code units,
// names that fold alike by their bytes.
TEST(NameOrder, FoldedCodeUnitsThenBytes)
{
    const std::vector<QByteArray> sorted = {
        "A.gb", "a.gb",                                      // alike but for case: by bytes
        "abcdefghijklmnopqrsta.gb", "abcdefghijklmnopqrstu.gb",  // alike for 16 bytes and more
        "B.GB", "b.gb",
        "game0001.gb", "game00010.gb", "game0001x.gb",       // "." before digits before letters
        "j.gb", "k.gb", "\xe2\x84\xaa.gb", "l.gb",              // the Kelvin sign folds to k
        "\xc3\x89.gb", "\xc3\xa9.gb",                          // É and é, after every ASCII letter
        "\xf0\x9f\x98\x80.gb",                                 // a surrogate pair (D83D ...)
        "\xff.gb",                                            // an undecodable byte (DCFF)
        "\xef\xbc\xa1.gb",                                      // fullwidth A (FF41): after both
    };
    std::vector<QByteArray> names(sorted.rbegin(), sorted.rend());
    std::swap(names[3], names[11]);
    sortNamesAsShown(names);
    EXPECT_EQ(names, sorted);
}

// The packed keys give the order of the plain one: the decoded names
// case-folded, compared as UTF-16 code units, ties by bytes.
TEST(NameOrder, PackedKeysSortAsThePlainDecoratedSort)
{
    const char *const pieces[] = {
        "a", "A", "z", "0", ".", " ", "_", "\xc3\x9f" /* ß */, "SS", "ss", "\xc4\xb0" /* İ */, "i", "I",
        "\xc4\xb1" /* ı */, "\xcf\x83" /* σ */, "\xcf\x82" /* ς */, "\xce\xa3" /* Σ */,
        "\xf0\x9f\x98\x80" /* a surrogate pair */, "\xff", "\xc3", "\x80", "abcdefghijklmnopq",
        "\xe2\x84\xaa" /* Kelvin */, "\xef\xbc\xa1" /* fullwidth A */,
    };
    QRandomGenerator random(20261208);
    std::vector<QByteArray> names;
    for (int n = 0; n < 3000; ++n) {
        QByteArray name;
        const int parts = 1 + random.bounded(6);
        for (int p = 0; p < parts; ++p)
            name += pieces[random.bounded(int(std::size(pieces)))];
        names.push_back(name + ".gb");
    }
    std::vector<std::pair<QString, QByteArray>> decorated;
    for (const QByteArray &name : names)
        decorated.emplace_back(decodePath(name).toCaseFolded(), name);
    std::sort(decorated.begin(), decorated.end());
    std::vector<QByteArray> plain;
    for (const auto &d : decorated)
        plain.push_back(d.second);
    sortNamesAsShown(names);
    EXPECT_EQ(names, plain);
}

// A command's output that cannot be written fails it; names that would
// read as other names, or as several lines, are printed with "?".
TEST(ScanCommand, OutputThatCannotBeWrittenAndNamesThatFoolAReader)
{
    QTemporaryDir dir;
    const QString rom = writeFile(dir.filePath(QString::fromUtf8("RTL\u202EBG.EXE.gb")), romImage("ONE"));
    writeFile(dir.filePath(QString::fromUtf8("a\u2028b\u2029c.gb")), romImage("TWO"));
    const struct {
        QStringList arguments;
        bool toFullDisk;
        int status;
        QByteArray out;  // a text the output holds
        QByteArray err;  // a text standard error holds
    } cases[] = {
        {{"--scan", dir.path()}, false, 0, "(RTL?BG.EXE.GB)", ""},
        {{"--scan", dir.path()}, false, 0, " A?B?C.GB)", ""},
        {{"--info", rom}, false, 0, "File: " + QFile::encodeName(dir.path()) + "/RTL?BG.EXE.gb", ""},
        {{"--info", rom}, true, 1, "", "cannot be written"},
        {{"--scan", dir.path()}, true, 1, "", "cannot be written"},
        {{"--scan", ""}, false, 2, "", "--scan needs a folder name"},
    };
    for (const auto &c : cases) {
        QProcess process;
        if (c.toFullDisk)
            process.setStandardOutputFile("/dev/full");
        process.start(KELPAD_PATH, c.arguments);
        ASSERT_TRUE(process.waitForFinished(10000));
        const QString what = c.arguments.join(' ');
        EXPECT_EQ(process.exitCode(), c.status) << what.toStdString();
        EXPECT_TRUE(process.readAllStandardOutput().contains(c.out)) << what.toStdString() << " " << c.out.toStdString();
        EXPECT_TRUE(process.readAllStandardError().contains(c.err)) << what.toStdString() << " " << c.err.toStdString();
    }
}

}  // namespace
