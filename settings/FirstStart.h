#pragma once

#include "settings/Configuration.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// The configuration a new user's first start begins with: the emulators
// this machine has, the interface file of the user's language and the
// bundled sample games, so that the first thing a new user can do is play.
namespace vantorix {

struct EmulatorChoice {
    QString command;      // the emulator field's text
    QString displayName;  // the radio button's caption
    std::array<QString, kInfoLinesPerSlot> info;
};

// What the search may ask of the machine: a program's path (empty when it
// is not there), whether a file exists, whether a command succeeds.
struct MachineProbe {
    std::function<QString(const QString &)> findProgram;
    std::function<bool(const QString &)> fileExists;
    std::function<bool(const QString &, const QStringList &)> succeeds;
};

// Debian's libretro cores.
QString libretroFolder();

// The emulators found, in the order of preference: mgba-qt, mgba, vbam or
// visualboyadvance-m, vba, mednafen, gngb, RetroArch with a Game Boy core,
// the mGBA Flatpak. Info lines in the installed language.
std::vector<EmulatorChoice> findEmulators(const MachineProbe &probe);

// The game list entries of the ROM files (.gb, .gbc, .zip, .7z) of folder
// and of its direct subfolders, the latter with their folder's path.
QStringList gameListOfFolder(const QString &folder);

// Where a user's own copy of the sample games goes: $XDG_DATA_HOME (or
// ~/.local/share) /vantorix/roms.
QString userGamesFolder();

// Copies the files of the folder from, and of its subfolders, into to
// (made on demand), so that an emulator can write its save file beside a
// game. A file already there, or a link in its place, is never written
// over. All or none: a copy that fails part way (a full disk) takes back
// what it made. Returns to, or an empty text when the copy failed.
QString copySampleGames(const QString &from, const QString &to);

// The first three emulators (the first one checked), the interface file,
// and the games of gamesFolder.
Configuration firstStartConfiguration(const std::vector<EmulatorChoice> &emulators, const QString &interfaceName,
                                      const QString &gamesFolder);

// Writes config as user.cfg into folder (made when missing) unless the
// folder holds a configuration file already. Returns the file written, or
// an empty text when nothing was written, for whatever reason.
QString writeFirstStartConfiguration(const QString &folder, const Configuration &config);
// Whether writeFirstStartConfiguration would write into folder: only then
// are the samples copied and the emulators looked for.
bool isFirstStart(const QString &folder);

}  // namespace vantorix
