#pragma once

#include <QString>
#include <QStringList>

// Pictures of games, in the layout of the libretro thumbnails that
// RetroArch users keep on disk: ROOT/SYSTEM/Named_Boxarts/NAME.png, with
// Named_Titles and Named_Snaps beside, SYSTEM being the database's system
// ("Nintendo - Game Boy") and NAME the game's name with the characters a
// file name cannot hold replaced by "_".
namespace vantorix {

enum class PictureKind { BoxArt, TitleScreen, Screenshot };

// A picture file is read up to this size; a larger one is no picture.
constexpr qint64 kMaxPictureBytes = qint64(4) << 20;

// "Named_Boxarts", "Named_Titles", "Named_Snaps".
QString pictureFolderName(PictureKind kind);

// The game's name as a thumbnail's file name, without ".png": each of
// &*/:`<>?\| becomes "_".
QString thumbnailFileName(const QString &name);

// What a game's pictures may be named, in the order they are looked for:
// the ROM file's own name without its extension, the name from the
// databases, and that name cut before its first " (" (so that
// "Tetris (World) (Rev 1)" finds "Tetris"). Empty or repeated names are
// left out.
QStringList thumbnailNames(const QString &romFile, const QString &gameName);

// Where one game's pictures are looked for: its systems, most likely first,
// and its names.
struct PictureQuery {
    QStringList systems;
    QStringList names;

    bool isEmpty() const { return names.isEmpty(); }
};

// The query of a ROM file, named gameName by a database whose name is
// databaseName (either may be empty); colour: whether the cartridge is
// made for the Game Boy Color.
PictureQuery pictureQueryOf(const QString &romFile, const QString &gameName, const QString &databaseName,
                            bool colour);

// The roots looked in, in order: $XDG_DATA_HOME/vantorix/thumbnails,
// RetroArch's thumbnails folder when it exists, the folders the user added
// (see UserSettings), then the pictures downloaded (pictureCacheRoot).
QStringList pictureRoots();
// $XDG_CACHE_HOME/vantorix/thumbnails, in the same layout.
QString pictureCacheRoot();

// The first picture of that kind the roots hold for the query: a regular
// file of at most kMaxPictureBytes that lies within its root once links
// are followed. Empty when there is none.
QString findPicture(const QStringList &roots, const PictureQuery &query, PictureKind kind);

// Whether folder is laid out as a root: a system's folder in it holds one
// of the three picture folders.
bool isPictureRoot(const QString &folder);

}  // namespace vantorix
