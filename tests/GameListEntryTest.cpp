#include "platform/FilePath.h"
#include "rom/GameListEntry.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

using namespace vantorix;

namespace {

QString entry(const QString &title, const QString &name)
{
    return composeEntry(title, name);
}

struct KeyCase {
    const char *label;
    QString text;
    QString key;        // ExtractRomKey
    QString fileName;   // romFileName
    bool userSelection;
};

void PrintTo(const KeyCase &c, std::ostream *os)
{
    *os << c.label;
}

class EntryKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(EntryKeys, KeyFileNameAndUserSelection)
{
    const KeyCase &c = GetParam();
    EXPECT_EQ(ExtractRomKey(c.text), c.key) << c.label;
    EXPECT_EQ(ExtractRomKey(c.text).size(), 11) << c.label;
    EXPECT_EQ(romFileName(c.text), c.fileName) << c.label;
    EXPECT_EQ(isUserSelection(c.text), c.userSelection) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Entries, EntryKeys,
    ::testing::Values(
        KeyCase{"nine-character name", entry("TETRIS", "TETRIS.GB"), "TETRIS.GB  ", "TETRIS.GB", false},
        KeyCase{"eleven characters fill the field", entry("ZELDA", "ABCDEFGH.GB"), "ABCDEFGH.GB",
                "ABCDEFGH.GB", false},
        KeyCase{"twelve characters: the key loses the first, the name does not",
                entry("POKEMON", "POKEMONR.GBC"), "OKEMONR.GBC", "POKEMONR.GBC", false},
        KeyCase{"long names are kept whole", entry("X", "A VERY LONG NAME.GBC"), "NGNAME.GBC ",
                "A VERY LONG NAME.GBC", false},
        KeyCase{"inner space: removed from the key, kept in the name", entry("MY GAME", "MY GAME.GB"),
                "MYGAME.GB  ", "MY GAME.GB", false},
        KeyCase{"user selection", entry("Pick one", "USER.GB"), "USER.GB    ", "USER.GB", true},
        KeyCase{"user selection in small letters is an ordinary file", entry("", "user.gb"),
                "user.gb    ", "user.gb", false},
        KeyCase{"USER.GB at the field's left end keeps its trailing spaces",
                QString(40, ' ') + "(USER.GB    )", "USER.GB    ", "USER.GB    ", false},
        KeyCase{"USER.GB with an inner space", entry("", "USER .GB"), "USER.GB    ", "USER .GB", false},
        KeyCase{"text after the closing parenthesis", entry("T", "TETRIS.GB") + "  ", "TETRIS.GB) ",
                "TETRIS.GB) ", false},
        KeyCase{"empty text", QString(), "           ", QString(), false},
        KeyCase{"shorter than 11: the whole text", QStringLiteral("  ab c"), "abc        ", "ab c", false},
        KeyCase{"shorter than an entry", QStringLiteral("HELLO(  TETRIS.GB)"), "TETRIS.GB  ", "TETRIS.GB",
                false},
        KeyCase{"control characters stay", entry("", "A\tB.GB"),
                "A\tB.GB     ", "A\tB.GB", false},
        KeyCase{"non-ASCII names", entry("", QStringLiteral("ÉLÈVE.GB")), QStringLiteral("ÉLÈVE.GB   "),
                QStringLiteral("ÉLÈVE.GB"), false}));

TEST(UpperCase, LetterByLetterKeepsTheLength)
{
    const struct {
        const char *name;
        const char *upper;
    } cases[] = {
        {"tetris.gb", "TETRIS.GB"},
        {"élève.gb", "ÉLÈVE.GB"},
        {"straße.gb", "STRAßE.GB"},   // ß has no one-letter capital
        {"ﬁnal.gb", "ﬁNAL.GB"},      // nor has the ligature ﬁ
        {"ǆ𐐨.gb", "Ǆ𐐀.GB"},          // a letter beyond the first plane
    };
    for (const auto &c : cases) {
        const QString name = QString::fromUtf8(c.name);
        EXPECT_EQ(upperCaseLetterwise(name), QString::fromUtf8(c.upper)) << c.name;
        EXPECT_EQ(upperCaseLetterwise(name).size(), name.size()) << c.name;
    }
}

TEST(EntryComposition, ColumnsOfTheEntry)
{
    const QString e = composeEntry("TETRIS", "TETRIS.GB");
    ASSERT_EQ(e.size(), 53);
    EXPECT_EQ(e.left(40), QString("TETRIS").leftJustified(40));
    EXPECT_EQ(e.at(40), QLatin1Char('('));
    EXPECT_EQ(e.mid(41, 11), QStringLiteral("  TETRIS.GB"));
    EXPECT_EQ(e.back(), QLatin1Char(')'));
    EXPECT_EQ(composeEntry("", "POKEMONR.GBC").size(), 54);
    EXPECT_EQ(composeEntry("", "").size(), 53);
}

TEST(SelectionLine, TextsForEachKindOfEntry)
{
    EXPECT_EQ(selectionLine(QString()), QStringLiteral("??"));
    EXPECT_EQ(selectionLine(entry("TETRIS", "TETRIS.GB")), QStringLiteral("--> TETRIS.GB  "));
    EXPECT_EQ(selectionLine(entry("", "USER.GB")), QStringLiteral("Click on \"Launch\" and select a ROM."));
    EXPECT_EQ(selectionLine(entry("", "POKEMONR.GBC")), QStringLiteral("--> POKEMONR.GBC"));
}

TEST(RomPath, OneSeparatorBetweenFolderAndName)
{
    EXPECT_EQ(joinRomPath("/games", "TETRIS.GB"), QStringLiteral("/games/TETRIS.GB"));
    EXPECT_EQ(joinRomPath("/games/", "TETRIS.GB"), QStringLiteral("/games/TETRIS.GB"));
    EXPECT_EQ(joinRomPath("", "TETRIS.GB"), QStringLiteral("TETRIS.GB"));
    EXPECT_EQ(joinRomPath("/", "A.GB"), QStringLiteral("/A.GB"));
}

// Names are looked at eight bytes at a time: a byte outside ASCII counts
// wherever it stands, in a whole word or in the tail.
TEST(FileNames, AsciiWherever)
{
    const struct {
        QByteArray name;
        bool ascii;
    } cases[] = {
        {"", true},
        {"a.gb", true},
        {"abcdefgh", true},
        {"abcdefghijklmnopqrstuvwxyz.gb", true},
        {"\x80", false},
        {"\x80" "bcdefgh", false},
        {"abcdefg\xff", false},
        {"abcdefgh\xc3\xa9", false},
        {"abcdefghijklmno\x80", false},
        {"abcdefghijklmnop.g\xe9", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(vantorix::isAscii(c.name), c.ascii) << c.name.toHex().constData();
}

}  // namespace
