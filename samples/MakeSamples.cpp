// Writes the bundled sample setup into a folder: a few small ROM images of
// our own and a configuration whose game list is made from them.
//
//   vantorix-make-samples OUTDIR
//
// The images have valid cartridge headers (title, header checksum, global
// checksum) and a program that only loops; the logo area is left blank.
#include "app/IoError.h"
#include "catalogue/FileListing.h"
#include "catalogue/RomHeader.h"
#include "config/Configuration.h"
#include "config/TextFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {

struct SampleGame {
    const char *fileName;
    const char *title;
    bool colour;  // works on Game Boy Color too
};

const SampleGame kGames[] = {
    {"PIXELQST.GB", "PIXEL QUEST", false},
    {"STARHOP.GB", "STAR HOPPER", false},
    {"MOLEMAZE.GB", "MOLE MAZE", false},
    {"TENNIS.GB", "TINY TENNIS", false},
    {"RIVERACE.GB", "RIVER RACE", true},
    {"BLOCKTWR.GB", "BLOCK TOWER", false},
    {"GARDEN.GB", "COLOR GARDEN", true},
};

constexpr int kImageSize = 32 * 1024;

QByteArray sampleImage(const SampleGame &game)
{
    QByteArray image(kImageSize, '\0');
    auto at = [&image](int offset) -> char & { return image[offset]; };
    // Entry point: nop; jp 0x0150.
    at(0x100) = char(0x00);
    at(0x101) = char(0xC3);
    at(0x102) = char(0x50);
    at(0x103) = char(0x01);
    // 0x104..0x133 (the logo) stays blank.
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
    // The program: di; jr -2 (loops for ever).
    at(0x150) = char(0xF3);
    at(0x151) = char(0x18);
    at(0x152) = char(0xFE);
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
    // The game list is what the ROMS reader makes of the folder.
    const QDir dir(romFolder);
    for (const QString &name : vantorix::listMatchingFiles(romFolder, QStringLiteral("*.gb")))
        config.gameList.append(vantorix::readRomEntry(dir.filePath(name), name));
    return config;
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
        if (!QDir().mkpath(romFolder))
            throw vantorix::IoError::fromErrno(EACCES);
        for (const SampleGame &game : kGames)
            vantorix::writeFileAtomically(romFolder + QLatin1Char('/') + QLatin1String(game.fileName),
                                          sampleImage(game));
        vantorix::writeFileAtomically(outFolder + QStringLiteral("/vantorix.cfg"),
                                      vantorix::serializeConfiguration(sampleConfiguration(romFolder)));
    } catch (const vantorix::IoError &error) {
        std::fprintf(stderr, "vantorix-make-samples: %s: %s\n", qUtf8Printable(outFolder),
                     qUtf8Printable(error.text()));
        return 1;
    }
    return 0;
}
