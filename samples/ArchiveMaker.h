#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// Zip and 7z archives made in memory, for the sample setup, the tests and
// the benchmarks.
namespace vantorix {

enum class ArchiveFormat { ZipDeflated, ZipStored, SevenZip };

using ArchiveEntries = QList<QPair<QString, QByteArray>>;  // name, content

// An entry named with this prefix is a symbolic link to its content.
inline QString symbolicLinkEntry(const QString &name) { return QStringLiteral("symlink:") + name; }

// The archive of the entries in their order; a non-empty passphrase locks
// a zip's entries. Returns an empty array when libarchive refuses.
QByteArray makeArchive(ArchiveFormat format, const ArchiveEntries &entries, const QByteArray &passphrase = {});

}  // namespace vantorix
