#include "config/FirstStart.h"

#include "app/IoError.h"
#include "catalogue/FileListing.h"
#include "catalogue/RomFolder.h"
#include "catalogue/RomHeader.h"
#include "config/TextFile.h"

#include <QCoreApplication>
#include <QDir>

namespace vantorix {

namespace {

class Texts {
    Q_DECLARE_TR_FUNCTIONS(FirstStart)
};

EmulatorChoice choice(const QString &command, const QString &name, const QString &what, const QString &package,
                      const QString &fullscreen, const QString &quit)
{
    EmulatorChoice c;
    c.command = command;
    c.displayName = name;
    c.info = {what,
              Texts::tr("Command:  %1").arg(command),
              Texts::tr("Package:  %1").arg(package),
              Texts::tr("Systems"),
              Texts::tr("Game Boy, Game Boy Color"),
              QString(),
              Texts::tr("Fullscreen: %1").arg(fullscreen),
              Texts::tr("Quit: %1").arg(quit),
              Texts::tr("The ROM is given as its argument.")};
    return c;
}

}  // namespace

QString libretroFolder()
{
    return QStringLiteral("/usr/lib/x86_64-linux-gnu/libretro");
}

std::vector<EmulatorChoice> findEmulators(const MachineProbe &probe)
{
    std::vector<EmulatorChoice> found;
    const auto have = [&probe](const QString &program) { return !probe.findProgram(program).isEmpty(); };
    if (have(QStringLiteral("mgba-qt")))
        found.push_back(choice(QStringLiteral("mgba-qt"), QStringLiteral("mGBA (Qt)"),
                               Texts::tr("mGBA, with its own settings window"), QStringLiteral("mgba-qt"),
                               QStringLiteral("Ctrl+F"), QStringLiteral("Ctrl+Q")));
    if (have(QStringLiteral("mgba")))
        found.push_back(choice(QStringLiteral("mgba"), QStringLiteral("mGBA (SDL)"),
                               Texts::tr("mGBA in a plain window"), QStringLiteral("mgba-sdl"),
                               QStringLiteral("Alt+Enter"), Texts::tr("close the window")));
    for (const char *vbam : {"vbam", "visualboyadvance-m"}) {
        if (have(QLatin1String(vbam))) {
            found.push_back(choice(QLatin1String(vbam), QStringLiteral("VisualBoyAdvance-M"),
                                   Texts::tr("VisualBoyAdvance-M"), QStringLiteral("visualboyadvance-m"),
                                   QStringLiteral("Alt+Enter"), QStringLiteral("Ctrl+Q")));
            break;
        }
    }
    if (have(QStringLiteral("vba")))
        found.push_back(choice(QStringLiteral("vba"), QStringLiteral("VisualBoyAdvance"),
                               Texts::tr("VisualBoyAdvance, the classic one"), QStringLiteral("visualboyadvance"),
                               QStringLiteral("Alt+Enter"), QStringLiteral("Esc")));
    if (have(QStringLiteral("mednafen")))
        found.push_back(choice(QStringLiteral("mednafen"), QStringLiteral("Mednafen"),
                               Texts::tr("Mednafen, many systems in one"), QStringLiteral("mednafen"),
                               QStringLiteral("Alt+Enter"), QStringLiteral("Esc")));
    if (have(QStringLiteral("gngb")))
        found.push_back(choice(QStringLiteral("gngb"), QStringLiteral("Gngb"), Texts::tr("Gngb, small and quick"),
                               QStringLiteral("gngb"), Texts::tr("start it with -f"), QStringLiteral("Esc")));
    if (have(QStringLiteral("retroarch"))) {
        for (const char *core : {"gambatte_libretro.so", "mgba_libretro.so"}) {
            const QString corePath = libretroFolder() + QLatin1Char('/') + QLatin1String(core);
            if (probe.fileExists(corePath)) {
                found.push_back(choice(QStringLiteral("retroarch -L ") + corePath, QStringLiteral("RetroArch"),
                                       Texts::tr("RetroArch with a Game Boy core"), QStringLiteral("retroarch"),
                                       QStringLiteral("F"), QStringLiteral("Esc")));
                break;
            }
        }
    }
    if (have(QStringLiteral("flatpak"))
        && probe.succeeds(QStringLiteral("flatpak"), {QStringLiteral("info"), QStringLiteral("io.mgba.mGBA")}))
        found.push_back(choice(QStringLiteral("flatpak run io.mgba.mGBA"), QStringLiteral("mGBA (Flatpak)"),
                               Texts::tr("mGBA, installed from Flathub"), QStringLiteral("io.mgba.mGBA"),
                               QStringLiteral("Ctrl+F"), QStringLiteral("Ctrl+Q")));
    return found;
}

QStringList gameListOfFolder(const QString &folder)
{
    const QString mask = QStringLiteral("*.gb;*.gbc;*.zip;*.7z");
    QStringList entries;
    QStringList folders{QString()};
    try {
        for (const QString &sub : RomFolder(folder).subfolders())
            folders.append(sub + QLatin1Char('/'));
    } catch (const IoError &) {
        return entries;
    }
    const QDir dir(folder);
    for (const QString &prefix : folders) {
        try {
            for (const QString &name : listMatchingFiles(dir.filePath(prefix), mask))
                entries.append(readRomEntry(dir.filePath(prefix + name), prefix + name));
        } catch (const IoError &) {
            // A folder or a file that cannot be read brings no entry.
        }
    }
    return entries;
}

Configuration firstStartConfiguration(const std::vector<EmulatorChoice> &emulators, const QString &interfaceName,
                                      const QString &gamesFolder)
{
    Configuration config;
    config.interfaceName = truncatedInterfaceName(interfaceName);
    config.gamesDirectory = gamesFolder;
    for (size_t slot = 0; slot < emulators.size() && slot < size_t(kSlotCount); ++slot) {
        config.executables[slot] = emulators[slot].command;
        config.displayNames[slot] = emulators[slot].displayName;
        for (int line = 0; line < kInfoLinesPerSlot; ++line)
            config.infoLines[slot * kInfoLinesPerSlot + line] = emulators[slot].info[size_t(line)];
    }
    if (!gamesFolder.isEmpty())
        config.gameList = gameListOfFolder(gamesFolder);
    return config;
}

QString writeFirstStartConfiguration(const QString &folder, const Configuration &config)
{
    if (folder.isEmpty())
        return QString();
    const QDir dir(folder);
    if (dir.exists() && !dir.entryList({QStringLiteral("*.cfg")}, QDir::Files | QDir::Hidden).isEmpty())
        return QString();
    const QString path = dir.filePath(QStringLiteral("user.cfg"));
    try {
        if (!QDir().mkpath(folder))
            return QString();
        writeFileAtomically(path, serializeConfiguration(config));
    } catch (const IoError &) {
        return QString();  // a home that cannot be written: start as before
    }
    return path;
}

}  // namespace vantorix
