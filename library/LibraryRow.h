#pragma once

#include "library/LibraryScan.h"
#include "library/SharedBytes.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace vantorix {

// A game as the library's model keeps it. 100,000 games are what the
// library's window holds: each row's texts (path, real path and name as
// UTF-16, then the sort and filter keys) lie in one block of its own,
// rather than in four blocks each with its own header.
class LibraryRow {
public:
    LibraryRow() = default;
    // The game's keys are made where it has none (prepareKeys).
    explicit LibraryRow(LibraryGame game);

    // The whole game again: its texts copied.
    LibraryGame game() const;

    QString path() const { return text(0, pathLength_).toString(); }
    QString name() const { return text(pathLength_ + realPathLength_, nameLength_).toString(); }
    QStringView pathView() const { return text(0, pathLength_); }
    // The path or name as a string over the row's own block, for a lookup
    // made at once (a hash of paths): no copy, so never kept past it.
    QString pathForLookup() const { return rawString(0, pathLength_); }
    QString nameForLookup() const { return rawString(pathLength_ + realPathLength_, nameLength_); }
    QString historyKeyForLookup() const
    {
        return realPathLength_ > 0 ? rawString(pathLength_, realPathLength_) : pathForLookup();
    }
    const QString &folder() const { return folder_; }
    QString region() const { return verified_ ? regionOfName(nameForLookup()) : QString(); }

    // The keys, and the block they lie in (shared by a sort that runs on
    // another thread, so that they need no copy).
    QByteArrayView sortKey() const { return block_.view().sliced(keysAt(), sortKeyLength_); }
    QByteArrayView filterKey() const { return block_.view().sliced(keysAt() + sortKeyLength_); }
    const SharedBytes &block() const { return block_; }
    qsizetype sortKeyAt() const { return keysAt(); }
    quint32 sortKeyLength() const { return sortKeyLength_; }

    const FileStamp &stamp() const { return stamp_; }
    qint64 size() const { return size_; }
    bool colour() const { return colour_; }
    bool verified() const { return verified_; }
    RomKey content() const { return hasCrc_ ? RomKey{crc32_, size_} : RomKey{}; }

    // How many files of the library hold its ROM, as the model last
    // counted them (0: not counted).
    int copies() const { return int(copies_); }
    void setCopies(int copies) const { copies_ = quint32(copies); }

private:
    QStringView text(qsizetype at, quint32 length) const
    {
        return QStringView(reinterpret_cast<const char16_t *>(block_.constData()) + at, qsizetype(length));
    }
    QString rawString(qsizetype at, quint32 length) const
    {
        return QString::fromRawData(reinterpret_cast<const QChar *>(block_.constData()) + at, qsizetype(length));
    }
    qsizetype keysAt() const { return qsizetype(pathLength_ + realPathLength_ + nameLength_) * 2; }

    SharedBytes block_;
    QString folder_;  // shared by the games of a library folder
    FileStamp stamp_;
    qint64 size_ = 0;
    quint32 crc32_ = 0;
    quint32 pathLength_ = 0;  // in UTF-16 units, as realPathLength_ and nameLength_
    quint32 realPathLength_ = 0;
    quint32 nameLength_ = 0;
    quint32 sortKeyLength_ = 0;  // in bytes; the filter key is the rest
    mutable quint32 copies_ = 0;
    bool colour_ = false;
    bool hasCrc_ = false;
    bool verified_ = false;
};

}  // namespace vantorix
