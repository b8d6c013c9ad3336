// Writes the bundled sample setup into a folder: a few small ROM images of
// our own and a configuration whose game list is made from them.
//
//   vantorix-make-samples OUTDIR
//
// The images have valid cartridge headers (logo, title, header checksum,
// global checksum) and a small program that shows the title on the screen,
// so that real emulators run them.
#include "platform/IoError.h"
#include "names/CartridgeDetails.h"
#include "rom/FileListing.h"
#include "rom/RomHeader.h"
#include "settings/Configuration.h"
#include "settings/FirstStart.h"
#include "settings/TextFile.h"
#include "samples/ArchiveMaker.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QXmlStreamWriter>

#include <zlib.h>

#include <cstdio>

namespace {

struct SampleGame {
    const char *fileName;  // below the games folder
    const char *title;
    bool colour;  // works on Game Boy Color too
    const char *gameName;  // as the samples' game databases name it
};

// Collections keep games zipped and in folders: one sample of each.
const SampleGame kGames[] = {
    {"PIXELQST.GB", "PIXEL QUEST", false, "Pixel Quest - The Hero's Tale (World)"},
    {"STARHOP.GB", "STAR HOPPER", false, "Star Hopper (World) (Rev 1)"},
    {"MOLEMAZE.GB", "MOLE MAZE", false, "Mole Maze & Friends (Europe) (En,Fr,De)"},
    {"TENNIS.GB", "TINY TENNIS", false, "Tiny Tennis, The (USA)"},
    {"RIVERACE.ZIP", "RIVER RACE", true, "River Race (World)"},
    {"BLOCKTWR.GB", "BLOCK TOWER", false, "Block Tower (Japan) (Proto)"},
    {"COLOR/GARDEN.GB", "COLOR GARDEN", true, "Color Garden (World) (GB Compatible)"},
};

// The file as it is kept: a zip holds the image under the name with ".GB".
QByteArray keptFile(const SampleGame &game, const QByteArray &image)
{
    const QString name = QString::fromLatin1(game.fileName);
    if (!name.endsWith(QLatin1String(".ZIP")))
        return image;
    const QByteArray zip = vantorix::makeArchive(vantorix::ArchiveFormat::ZipDeflated,
                                                 {{name.left(name.size() - 4) + QStringLiteral(".GB"), image}});
    if (zip.isEmpty())
        throw vantorix::IoError::damagedArchive();
    return zip;
}

constexpr int kImageSize = 32 * 1024;

// A 5 x 7 font for the characters a title can hold (letters, digits and the
// space; small letters are drawn as capitals), one string of 7 rows each.
struct Glyph {
    char character;
    const char *rows[7];
};

const Glyph kFont[] = {
    {'A', {" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
    {'B', {"#### ", "#   #", "#   #", "#### ", "#   #", "#   #", "#### "}},
    {'C', {" ### ", "#   #", "#    ", "#    ", "#    ", "#   #", " ### "}},
    {'D', {"#### ", "#   #", "#   #", "#   #", "#   #", "#   #", "#### "}},
    {'E', {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"}},
    {'F', {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#    "}},
    {'G', {" ### ", "#   #", "#    ", "# ###", "#   #", "#   #", " ####"}},
    {'H', {"#   #", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
    {'I', {" ### ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "}},
    {'J', {"  ###", "   # ", "   # ", "   # ", "   # ", "#  # ", " ##  "}},
    {'K', {"#   #", "#  # ", "# #  ", "##   ", "# #  ", "#  # ", "#   #"}},
    {'L', {"#    ", "#    ", "#    ", "#    ", "#    ", "#    ", "#####"}},
    {'M', {"#   #", "## ##", "# # #", "# # #", "#   #", "#   #", "#   #"}},
    {'N', {"#   #", "##  #", "# # #", "#  ##", "#   #", "#   #", "#   #"}},
    {'O', {" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "}},
    {'P', {"#### ", "#   #", "#   #", "#### ", "#    ", "#    ", "#    "}},
    {'Q', {" ### ", "#   #", "#   #", "#   #", "# # #", "#  # ", " ## #"}},
    {'R', {"#### ", "#   #", "#   #", "#### ", "# #  ", "#  # ", "#   #"}},
    {'S', {" ####", "#    ", "#    ", " ### ", "    #", "    #", "#### "}},
    {'T', {"#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  "}},
    {'U', {"#   #", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "}},
    {'V', {"#   #", "#   #", "#   #", "#   #", "#   #", " # # ", "  #  "}},
    {'W', {"#   #", "#   #", "#   #", "# # #", "# # #", "# # #", " # # "}},
    {'X', {"#   #", "#   #", " # # ", "  #  ", " # # ", "#   #", "#   #"}},
    {'Y', {"#   #", "#   #", " # # ", "  #  ", "  #  ", "  #  ", "  #  "}},
    {'Z', {"#####", "    #", "   # ", "  #  ", " #   ", "#    ", "#####"}},
    {'0', {" ### ", "#   #", "#  ##", "# # #", "##  #", "#   #", " ### "}},
    {'1', {"  #  ", " ##  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "}},
    {'2', {" ### ", "#   #", "    #", "   # ", "  #  ", " #   ", "#####"}},
    {'3', {"#####", "   # ", "  #  ", "   # ", "    #", "#   #", " ### "}},
    {'4', {"   # ", "  ## ", " # # ", "#  # ", "#####", "   # ", "   # "}},
    {'5', {"#####", "#    ", "#### ", "    #", "    #", "#   #", " ### "}},
    {'6', {"  ## ", " #   ", "#    ", "#### ", "#   #", "#   #", " ### "}},
    {'7', {"#####", "    #", "   # ", "  #  ", " #   ", " #   ", " #   "}},
    {'8', {" ### ", "#   #", "#   #", " ### ", "#   #", "#   #", " ### "}},
    {'9', {" ### ", "#   #", "#   #", " ####", "    #", "   # ", " ##  "}},
};

// Where the program keeps its data in the image.
constexpr int kTextAt = 0x1E0;     // tile numbers of the title
constexpr int kPaletteAt = 0x1F0;  // Game Boy Color palette 0, four colours
constexpr int kFontAt = 0x200;     // tile 0 blank, then one tile a glyph
constexpr int kTileCount = 1 + int(sizeof kFont / sizeof kFont[0]);

// The tile of a character of the title: 0 (blank) for a space or anything
// the font lacks.
uchar tileOf(char c)
{
    const char capital = (c >= 'a' && c <= 'z') ? char(c - 32) : c;
    for (int i = 0; i < kTileCount - 1; ++i)
        if (kFont[i].character == capital)
            return uchar(i + 1);
    return 0;
}

// The program at 0x150: wait for the vertical blank, switch the screen
// off, copy the font to tile memory, clear the background map, write the
// title's tiles in the middle of row 8, set the palettes, switch the screen
// on and sleep. Each jr offset counts from the instruction after it.
QByteArray titleProgram(int titleLength)
{
    const int mapAddress = 0x9800 + 8 * 32 + (20 - titleLength) / 2;
    const int fontBytes = kTileCount * 16;
    auto lo = [](int v) { return char(v & 0xFF); };
    auto hi = [](int v) { return char(v >> 8); };
    const char code[] = {
        char(0xF3),                                   // 150 di
        char(0x31), char(0xFE), char(0xFF),           // 151 ld sp, $FFFE
        char(0xF0), char(0x44),                       // 154 ldh a, [LY]
        char(0xFE), char(0x90),                       // 156 cp 144
        char(0x38), char(0xFA),                       // 158 jr c, 154
        char(0xAF),                                   // 15A xor a
        char(0xE0), char(0x40),                       // 15B ldh [LCDC], a
        char(0x21), lo(kFontAt), hi(kFontAt),         // 15D ld hl, font
        char(0x11), char(0x00), char(0x80),           // 160 ld de, $8000
        char(0x01), lo(fontBytes), hi(fontBytes),     // 163 ld bc, font size
        char(0x2A),                                   // 166 ld a, [hl+]
        char(0x12),                                   // 167 ld [de], a
        char(0x13),                                   // 168 inc de
        char(0x0B),                                   // 169 dec bc
        char(0x78),                                   // 16A ld a, b
        char(0xB1),                                   // 16B or c
        char(0x20), char(0xF8),                       // 16C jr nz, 166
        char(0x21), char(0x00), char(0x98),           // 16E ld hl, $9800
        char(0x01), char(0x00), char(0x04),           // 171 ld bc, $0400
        char(0x36), char(0x00),                       // 174 ld [hl], 0
        char(0x23),                                   // 176 inc hl
        char(0x0B),                                   // 177 dec bc
        char(0x78),                                   // 178 ld a, b
        char(0xB1),                                   // 179 or c
        char(0x20), char(0xF8),                       // 17A jr nz, 174
        char(0x21), lo(kTextAt), hi(kTextAt),         // 17C ld hl, text
        char(0x11), lo(mapAddress), hi(mapAddress),   // 17F ld de, map
        char(0x06), char(titleLength),                // 182 ld b, length
        char(0x2A),                                   // 184 ld a, [hl+]
        char(0x12),                                   // 185 ld [de], a
        char(0x13),                                   // 186 inc de
        char(0x05),                                   // 187 dec b
        char(0x20), char(0xFA),                       // 188 jr nz, 184
        char(0x3E), char(0xE4),                       // 18A ld a, $E4
        char(0xE0), char(0x47),                       // 18C ldh [BGP], a
        char(0xAF),                                   // 18E xor a
        char(0xE0), char(0x42),                       // 18F ldh [SCY], a
        char(0xE0), char(0x43),                       // 191 ldh [SCX], a
        char(0x3E), char(0x80),                       // 193 ld a, $80
        char(0xE0), char(0x68),                       // 195 ldh [BCPS], a
        char(0x21), lo(kPaletteAt), hi(kPaletteAt),   // 197 ld hl, palette
        char(0x06), char(0x08),                       // 19A ld b, 8
        char(0x2A),                                   // 19C ld a, [hl+]
        char(0xE0), char(0x69),                       // 19D ldh [BCPD], a
        char(0x05),                                   // 19F dec b
        char(0x20), char(0xFA),                       // 1A0 jr nz, 19C
        char(0x3E), char(0x91),                       // 1A2 ld a, $91
        char(0xE0), char(0x40),                       // 1A4 ldh [LCDC], a
        char(0x76),                                   // 1A6 halt
        char(0x00),                                   // 1A7 nop
        char(0x18), char(0xFC),                       // 1A8 jr 1A6
    };
    return QByteArray(code, sizeof code);
}

QByteArray fontTiles()
{
    QByteArray tiles(16, '\0');  // tile 0: blank
    for (const Glyph &glyph : kFont) {
        QByteArray tile(16, '\0');
        for (int row = 0; row < 7; ++row) {
            uchar bits = 0;
            for (int column = 0; column < 5; ++column)
                if (glyph.rows[row][column] == '#')
                    bits |= uchar(0x80 >> (column + 1));
            // Both bit planes set: the darkest shade.
            tile[row * 2] = char(bits);
            tile[row * 2 + 1] = char(bits);
        }
        tiles += tile;
    }
    return tiles;
}

QByteArray sampleImage(const SampleGame &game)
{
    QByteArray image(kImageSize, '\0');
    auto at = [&image](int offset) -> char & { return image[offset]; };
    // Entry point: nop; jp 0x0150.
    at(0x100) = char(0x00);
    at(0x101) = char(0xC3);
    at(0x102) = char(0x50);
    at(0x103) = char(0x01);
    image.replace(0x104, 48, vantorix::cartridgeLogo());
    const QByteArray title(game.title);
    image.replace(0x134, title.size(), title);
    if (game.colour)
        at(0x143) = char(0x80);
    at(0x144) = '0';
    at(0x145) = '0';
    at(0x147) = 0x00;  // ROM only
    at(0x148) = 0x00;  // 32 KiB
    at(0x149) = 0x00;  // no RAM
    at(0x14A) = 0x01;
    at(0x14B) = 0x33;  // the maker is given by 0x144..0x145
    uchar headerSum = 0;
    for (int i = 0x134; i <= 0x14C; ++i)
        headerSum = uchar(headerSum - uchar(image.at(i)) - 1);
    at(0x14D) = char(headerSum);

    const QByteArray program = titleProgram(int(title.size()));
    image.replace(0x150, program.size(), program);
    for (int i = 0; i < title.size(); ++i)
        at(kTextAt + i) = char(tileOf(title.at(i)));
    // White, light grey, dark grey, black in the Color's 15-bit colours.
    const char palette[8] = {char(0xFF), char(0x7F), char(0xB5), char(0x56),
                             char(0x4A), char(0x29), char(0x00), char(0x00)};
    image.replace(kPaletteAt, 8, QByteArray(palette, 8));
    const QByteArray font = fontTiles();
    image.replace(kFontAt, font.size(), font);

    quint16 globalSum = 0;
    for (int i = 0; i < image.size(); ++i)
        if (i != 0x14E && i != 0x14F)
            globalSum = quint16(globalSum + uchar(image.at(i)));
    at(0x14E) = char(globalSum >> 8);
    at(0x14F) = char(globalSum & 0xFF);
    return image;
}

vantorix::Configuration sampleConfiguration(const QString &romFolder)
{
    vantorix::Configuration config;
    config.interfaceName = QStringLiteral("english.txt");
    config.gamesDirectory = romFolder;
    config.executables = {QStringLiteral("mgba-qt"), QStringLiteral("mgba"), QStringLiteral("vba")};
    config.displayNames = {QStringLiteral("mGBA (Qt)"), QStringLiteral("mGBA (SDL)"),
                           QStringLiteral("VisualBoyAdvance")};
    const char *const info[vantorix::kInfoLineCount] = {
        "mGBA - Qt front-end",
        "Program:  mgba-qt",
        "Package:  mgba-qt",
        "Systems",
        "Game Boy, Game Boy Color,",
        "Game Boy Advance",
        "The ROM is given as its one argument;",
        "keys and video are set in its own",
        "Settings window.",

        "mGBA - SDL front-end",
        "Program:  mgba",
        "Package:  mgba-sdl",
        "Systems",
        "Game Boy, Game Boy Color,",
        "Game Boy Advance",
        "Plays the ROM in a plain window;",
        "settings come from the configuration",
        "shared with mgba-qt.",

        "VisualBoyAdvance",
        "Program:  vba",
        "Package:  visualboyadvance",
        "Systems",
        "Game Boy, Game Boy Color,",
        "Game Boy Advance",
        "The ROM is given as its one argument;",
        "options are read from its",
        "configuration file.",
    };
    for (int i = 0; i < vantorix::kInfoLineCount; ++i)
        config.infoLines[i] = QString::fromLatin1(info[i]);
    // The game list is what the ROMS reader makes of the folder and of its
    // subfolder.
    config.gameList = vantorix::gameListOfFolder(romFolder);
    return config;
}

QString crcText(const QByteArray &image)
{
    return QStringLiteral("%1").arg(::crc32(0, reinterpret_cast<const Bytef *>(image.constData()), uInt(image.size())),
                                    8, 16, QLatin1Char('0'));
}

// The sample games in a game database of each form, their keys computed
// from the images: the Game Boy games under one header and the colour ones
// under a second, as a DAT of several systems has them.
QByteArray clrMameProDat()
{
    QString text;
    for (bool colour : {false, true}) {
        text += QStringLiteral("clrmamepro (\n\tname \"Vantorix - Samples%1\"\n\tversion 2026\n)\n\n")
                    .arg(colour ? QStringLiteral(" (Color)") : QString());
        for (const SampleGame &game : kGames) {
            if (game.colour != colour)
                continue;
            const QByteArray image = sampleImage(game);
            text += QStringLiteral("game (\n\tname \"%1\"\n\tdescription \"%1\"\n"
                                   "\trom ( name \"%1.gb\" size %2 crc %3 flags verified )\n)\n\n")
                        .arg(QLatin1String(game.gameName))
                        .arg(image.size())
                        .arg(crcText(image));
        }
    }
    return text.toUtf8();
}

QByteArray logiqxDat()
{
    QByteArray xml;
    QXmlStreamWriter out(&xml);
    out.setAutoFormatting(true);
    out.writeStartDocument();
    out.writeStartElement(QStringLiteral("datafile"));
    out.writeStartElement(QStringLiteral("header"));
    out.writeTextElement(QStringLiteral("name"), QStringLiteral("Vantorix - Samples (XML)"));
    out.writeTextElement(QStringLiteral("version"), QStringLiteral("2026"));
    out.writeEndElement();
    for (const SampleGame &game : kGames) {
        const QByteArray image = sampleImage(game);
        out.writeStartElement(QStringLiteral("game"));
        out.writeAttribute(QStringLiteral("name"), QLatin1String(game.gameName));
        out.writeTextElement(QStringLiteral("description"), QLatin1String(game.gameName));
        out.writeEmptyElement(QStringLiteral("rom"));
        out.writeAttribute(QStringLiteral("name"), QLatin1String(game.gameName) + QStringLiteral(".gb"));
        out.writeAttribute(QStringLiteral("size"), QString::number(image.size()));
        out.writeAttribute(QStringLiteral("crc"), crcText(image).toUpper());
        out.writeAttribute(QStringLiteral("status"), QStringLiteral("verified"));
        out.writeEndElement();
    }
    out.writeEndDocument();
    return xml;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: vantorix-make-samples OUTDIR\n");
        return 2;
    }
    const QString outFolder = QFileInfo(arguments.at(1)).absoluteFilePath();
    const QString romFolder = outFolder + QStringLiteral("/roms");
    try {
        if (!QDir().mkpath(romFolder + QStringLiteral("/COLOR")))
            throw vantorix::IoError::fromErrno(EACCES);
        for (const SampleGame &game : kGames)
            vantorix::writeFileAtomically(romFolder + QLatin1Char('/') + QLatin1String(game.fileName),
                                          keptFile(game, sampleImage(game)));
        vantorix::writeFileAtomically(outFolder + QStringLiteral("/vantorix.cfg"),
                                      vantorix::serializeConfiguration(sampleConfiguration(romFolder)));
        vantorix::writeFileAtomically(outFolder + QStringLiteral("/vantorix-samples.dat"), clrMameProDat());
        vantorix::writeFileAtomically(outFolder + QStringLiteral("/vantorix-samples.xml"), logiqxDat());
    } catch (const vantorix::IoError &error) {
        std::fprintf(stderr, "vantorix-make-samples: %s: %s\n", qUtf8Printable(outFolder),
                     qUtf8Printable(error.text()));
        return 1;
    }
    return 0;
}
