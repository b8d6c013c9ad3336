#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Files read and written whole: read into memory at once, and replaced only
// once the new content is on disk.
namespace vantorix {

// The largest text file read whole: far beyond any configuration.
constexpr qint64 kMaxTextFileSize = qint64(64) << 20;

// The whole content of a regular file of at most maxBytes, read into
// memory: a file cut or rewritten meanwhile gives what was there, never a
// fault. Throws IoError.
QByteArray readWholeFile(const QString &path, qint64 maxBytes = kMaxTextFileSize);
// The first bytes (at most maxBytes) of the file at path, when it is a
// regular file that can be read; nothing otherwise (a FIFO is never waited
// on).
std::optional<QByteArray> headOfRegularFile(const QString &path, qsizetype maxBytes);

// What a save does with a symbolic link at its path. A user's own file
// (a configuration) is saved through it, as an editor does; a file of the
// program's own (records, settings, caches) replaces the link itself, so
// that nothing is ever written into the file it points to.
enum class LinkAtPath { SaveThrough, Replace };

// Replaces the file with data only once data is completely on disk: written
// to a temporary file beside it, flushed, then renamed over it. On failure
// the old file is untouched. Throws IoError.
void writeFileAtomically(const QString &path, const QByteArray &data,
                         LinkAtPath link = LinkAtPath::SaveThrough);

// A file of the program's own, read whole: a link, or anything but a
// regular file, at its path reads as no file (empty, found false), never
// as the content of what it points to. Throws IoError for other failures.
QByteArray readOwnFile(const QString &path, qint64 maxBytes, bool *found = nullptr);

}  // namespace vantorix
