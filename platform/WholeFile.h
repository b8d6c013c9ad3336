#pragma once

#include <QByteArray>
#include <QString>

// Files read and written whole: read into memory at once, and replaced only
// once the new content is on disk.
namespace vantorix {

// The largest text file read whole: far beyond any configuration.
constexpr qint64 kMaxTextFileSize = qint64(64) << 20;

// The whole content of a regular file of at most maxBytes, read into
// memory: a file cut or rewritten meanwhile gives what was there, never a
// fault. Throws IoError.
QByteArray readWholeFile(const QString &path, qint64 maxBytes = kMaxTextFileSize);

// Replaces the file with data only once data is completely on disk: written
// to a temporary file beside it, flushed, then renamed over it. On failure
// the old file is untouched. Throws IoError.
void writeFileAtomically(const QString &path, const QByteArray &data);

}  // namespace vantorix
