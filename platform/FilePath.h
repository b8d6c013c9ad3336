#pragma once

#include "platform/FileDescriptor.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <sys/stat.h>

// File names on Linux are bytes, not text. A name that is valid UTF-8 is
// held as that text; in any other name each byte of 0x80 and above is held
// as the lone surrogate U+DC80..U+DCFF, so that the exact bytes come back
// when the file is opened. Such names are shown with the Windows-1252
// reading the text files use (an old archive unpacked as Latin-1).
namespace vantorix {

QString decodePath(const QByteArray &bytes);

// Whether bytes are all ASCII (then the name needs no decoding).
bool isAscii(const QByteArray &bytes);
// Whether text is all ASCII (then its bytes are its characters).
bool isAscii(QStringView text);

inline char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c + 32) : c;
}
QByteArray encodePath(const QString &path);

// The path as a person reads it: escaped bytes as Windows-1252 characters.
QString displayPath(const QString &path);

// True when the path holds no escaped byte, so that any program receiving
// it as text gets the same bytes.
bool isFaithfulPath(const QString &path);

// Opens the file at path for reading, without blocking on a FIFO, and
// stats it into st; a folder is refused ("Is a folder"). Throws IoError.
FileDescriptor openForReading(const QString &path, struct stat *st);

// One pread of up to length bytes at offset, retried when a signal
// interrupts it: how many came, 0 at the end. Throws IoError.
qint64 readAt(int fd, char *buffer, qint64 length, qint64 offset);

// The process's current folder, as a path text.
QString currentFolderPath();

// path made absolute against the current folder.
QString absolutePath(const QString &path);

// A user's base folder by the XDG rules: the variable when it holds an
// absolute path (a relative one is ignored, as the rules say), else
// fallback below the home folder ("share" for XDG_DATA_HOME gives
// ~/.local/share).
QString xdgUserFolder(const char *variable, const QString &fallbackBelowHome);
// $XDG_DATA_HOME and $XDG_CACHE_HOME by those rules.
QString userDataHome();
QString userCacheHome();

// Makes the folder at path and the folders above it, as mkdir -p does.
// Throws IoError, naming the part that is there but no folder.
void makeFolders(const QString &path);

// Makes the folders of below inside root, each a real folder: a link or a
// file where one belongs is set aside (removed, never followed), so that
// what the program writes there stays inside root. Throws IoError.
void makeOwnFolders(const QString &root, const QString &below);

// Whether path names a regular file (through links), by its own bytes.
bool isRegularFile(const QString &path);

// A file as the system knows it: two paths (links, "..", another mount of
// the same folder) name the same file when their identities are equal.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity &other) const { return device == other.device && inode == other.inode; }
};
// The identity of the file at path (through links); false when it is not
// there.
bool fileIdentity(const QString &path, FileIdentity *identity);

// The names of the folders in folder (links to folders too), at most
// limit, sorted; no file is opened, so a folder like /proc or one of
// devices answers at once. Empty when it cannot be listed.
QStringList subfolderNames(const QString &folder, int limit);

// Whether the folder open at fd lies on a file system of the kernel's
// own (proc, sysfs, devtmpfs, ...), whose files are no one's games and
// whose links lead round the whole disk.
bool isSystemFolder(int fd);

// The last component of a path ("/a/b.gb" gives "b.gb").
QString baseName(const QString &path);

}  // namespace vantorix
