#include "settings/FirstStart.h"

#include "platform/FileDescriptor.h"
#include "platform/FilePath.h"
#include "platform/IoError.h"
#include "rom/FileListing.h"
#include "rom/RomFolder.h"
#include "rom/RomHeader.h"
#include "settings/TextFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

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
    const QString triplet = QStringLiteral(VANTORIX_MULTIARCH);
    return triplet.isEmpty() ? QStringLiteral("/usr/lib/libretro") : QStringLiteral("/usr/lib/%1/libretro").arg(triplet);
}

std::vector<EmulatorChoice> findEmulators(const MachineProbe &probe)
{
    // In the order of preference. A program is the first of its names found;
    // RetroArch needs a Game Boy core, the Flatpak needs mGBA installed in it.
    enum class Needs { Nothing, Core, FlatpakApp };
    struct Candidate {
        std::initializer_list<const char *> programs;
        const char *name;
        const char *what;
        const char *package;
        const char *fullscreen;
        const char *quit;
        Needs needs;
    };
    static const Candidate candidates[] = {
        {{"mgba-qt"}, "mGBA (Qt)", QT_TRANSLATE_NOOP("FirstStart", "mGBA, with its own settings window"),
         "mgba-qt", "Ctrl+F", "Ctrl+Q", Needs::Nothing},
        {{"mgba"}, "mGBA (SDL)", QT_TRANSLATE_NOOP("FirstStart", "mGBA in a plain window"), "mgba-sdl",
         "Alt+Enter", QT_TRANSLATE_NOOP("FirstStart", "close the window"), Needs::Nothing},
        {{"vbam", "visualboyadvance-m"}, "VisualBoyAdvance-M", QT_TRANSLATE_NOOP("FirstStart", "VisualBoyAdvance-M"),
         "visualboyadvance-m", "Alt+Enter", "Ctrl+Q", Needs::Nothing},
        {{"vba"}, "VisualBoyAdvance", QT_TRANSLATE_NOOP("FirstStart", "VisualBoyAdvance, the classic one"),
         "visualboyadvance", "Alt+Enter", "Esc", Needs::Nothing},
        {{"mednafen"}, "Mednafen", QT_TRANSLATE_NOOP("FirstStart", "Mednafen, many systems in one"), "mednafen",
         "Alt+Enter", "Esc", Needs::Nothing},
        {{"gngb"}, "Gngb", QT_TRANSLATE_NOOP("FirstStart", "Gngb, small and quick"), "gngb",
         QT_TRANSLATE_NOOP("FirstStart", "start it with -f"), "Esc", Needs::Nothing},
        {{"retroarch"}, "RetroArch", QT_TRANSLATE_NOOP("FirstStart", "RetroArch with a Game Boy core"), "retroarch",
         "F", "Esc", Needs::Core},
        {{"flatpak"}, "mGBA (Flatpak)", QT_TRANSLATE_NOOP("FirstStart", "mGBA, installed from Flathub"),
         "io.mgba.mGBA", "Ctrl+F", "Ctrl+Q", Needs::FlatpakApp},
    };
    std::vector<EmulatorChoice> found;
    for (const Candidate &c : candidates) {
        QString command;
        for (const char *program : c.programs) {
            if (!probe.findProgram(QLatin1String(program)).isEmpty()) {
                command = QLatin1String(program);
                break;
            }
        }
        if (command.isEmpty())
            continue;
        if (c.needs == Needs::Core) {
            QString core;
            for (const char *name : {"gambatte_libretro.so", "mgba_libretro.so"})
                if (core.isEmpty() && probe.fileExists(libretroFolder() + QLatin1Char('/') + QLatin1String(name)))
                    core = libretroFolder() + QLatin1Char('/') + QLatin1String(name);
            if (core.isEmpty())
                continue;
            command += QStringLiteral(" -L ") + core;
        } else if (c.needs == Needs::FlatpakApp) {
            if (!probe.succeeds(command, {QStringLiteral("info"), QLatin1String(c.package)}))
                continue;
            command = QStringLiteral("flatpak run ") + QLatin1String(c.package);
        }
        found.push_back(choice(command, QLatin1String(c.name), Texts::tr(c.what), QLatin1String(c.package),
                               Texts::tr(c.fullscreen), Texts::tr(c.quit)));
    }
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

QString userGamesFolder()
{
    return userDataHome() + QStringLiteral("/vantorix/roms");
}

namespace {

enum class Copy { Made, There, Failed };

// Copies one file into a new file at to. A file already there (as a file,
// a folder or a link, dangling or not) is the user's: left as it is.
Copy copyNewFile(const QString &from, const QString &to)
{
    QByteArray bytes;
    try {
        bytes = readWholeFile(from);
    } catch (const IoError &) {
        return Copy::Failed;
    }
    const int fd = ::open(encodePath(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno == EEXIST ? Copy::There : Copy::Failed;
    const FileDescriptor closer(fd);
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ::unlink(encodePath(to).constData());  // no half a game
            return Copy::Failed;
        }
        written += n;
    }
    return Copy::Made;
}

// Copies the tree from into to, noting each file and folder it made so
// that a copy that fails part way can be taken back whole.
bool copyTree(const QString &from, const QString &to, int depth, QStringList &made)
{
    const QDir source(from);
    if (!QFileInfo(to).isDir()) {
        if (::mkdir(encodePath(to).constData(), 0755) != 0)
            return false;
        made.append(to);
    }
    for (const QString &name : source.entryList(QDir::Files | QDir::NoSymLinks)) {
        const QString target = to + QLatin1Char('/') + name;
        switch (copyNewFile(source.filePath(name), target)) {
        case Copy::Made: made.append(target); break;
        case Copy::There: break;
        case Copy::Failed: return false;
        }
    }
    if (depth >= 4)
        return true;
    for (const QString &name : source.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks))
        if (!copyTree(source.filePath(name), to + QLatin1Char('/') + name, depth + 1, made))
            return false;
    return true;
}

}  // namespace

QString copySampleGames(const QString &from, const QString &to)
{
    if (from.isEmpty() || to.isEmpty() || !QDir().mkpath(QFileInfo(to).absolutePath()))
        return QString();
    QStringList made;
    if (copyTree(from, to, 0, made))
        return QFileInfo(to).isDir() && !QFileInfo(to).isSymLink() ? to : QString();
    // All or none: a disk that filled up part way keeps nothing of this
    // copy, and the installed samples serve instead.
    for (auto it = made.crbegin(); it != made.crend(); ++it)
        ::remove(encodePath(*it).constData());
    return QString();
}

Configuration firstStartConfiguration(const std::vector<EmulatorChoice> &emulators, const QString &interfaceName,
                                      const QString &gamesFolder)
{
    Configuration config;
    config.interfaceName = truncatedInterfaceName(interfaceName);
    config.gamesDirectory = gamesFolder;
    // Every start checks slot 2: the emulator preferred goes there, the
    // next ones to slots 1 and 3, so that a game opens in the same one from
    // the first start on.
    constexpr size_t kSlotOfChoice[] = {1, 0, 2};
    for (size_t choice = 0; choice < emulators.size() && choice < size_t(kSlotCount); ++choice) {
        const size_t slot = kSlotOfChoice[choice];
        config.executables[slot] = emulators[choice].command;
        config.displayNames[slot] = emulators[choice].displayName;
        for (int line = 0; line < kInfoLinesPerSlot; ++line)
            config.infoLines[slot * kInfoLinesPerSlot + line] = emulators[choice].info[size_t(line)];
    }
    if (!gamesFolder.isEmpty())
        config.gameList = gameListOfFolder(gamesFolder);
    return config;
}

bool isFirstStart(const QString &folder)
{
    if (folder.isEmpty())
        return false;
    const QDir dir(folder);
    if (dir.exists() && !dir.entryList({QStringLiteral("*.cfg")}, QDir::Files | QDir::Hidden).isEmpty())
        return false;
    // A link in its place, dangling or not, is the user's doing: never
    // written through, wherever it points.
    return !QFileInfo(dir.filePath(QStringLiteral("user.cfg"))).isSymLink();
}

QString writeFirstStartConfiguration(const QString &folder, const Configuration &config)
{
    if (!isFirstStart(folder))
        return QString();
    const QDir dir(folder);
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
