// 7z ROMs, through libarchive. A solid 7z holds its entries in one
// compressed stream, so the entries before the ROM are unpacked to reach
// it: what that may cost is bounded (DecodeBudget).
#include "platform/FilePath.h"
#include "platform/IoError.h"
#include "rom/ArchiveParts.h"
#include "rom/RomDigest.h"

#include <archive.h>
#include <archive_entry.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <unistd.h>

namespace vantorix {

namespace {

// One reading of an archive from its start; libarchive cannot go back to
// an entry it has passed, so choosing a later entry opens it again.
class ArchiveReader {
public:
    ArchiveReader(const std::function<int(archive *)> &open, DecodeBudget &budget)
        : handle_(archive_read_new()), budget_(budget)
    {
        a_ = handle_.get();
        if (!a_)
            throw std::bad_alloc();
        archive_read_support_format_7zip(a_);
        // Before an opening succeeded no format is bound, and asking for
        // encrypted entries then reads a pointer libarchive never set.
        if (open(a_) != ARCHIVE_OK)
            throw failure(false);
    }

    // The next entry that is a file, or null at the end.
    archive_entry *nextFile()
    {
        archive_entry *entry = nullptr;
        for (;;) {
            passCurrent();
            const int status = archive_read_next_header(a_, &entry);
            if (status == ARCHIVE_EOF)
                return nullptr;
            if (status < ARCHIVE_WARN)
                throw failure(true);
            current_ = entry;
            if (archive_entry_filetype(entry) == AE_IFREG)
                return entry;
        }
    }

    // Unpacks up to length more bytes of the current entry into data: how
    // many, 0 at its end. Throws IoError.
    qint64 readSome(char *data, qint64 length)
    {
        const la_ssize_t n = archive_read_data(a_, data, size_t(length));
        if (n < 0) {
            // A bad CRC, a cut stream, or an entry it cannot decrypt.
            if (archive_read_has_encrypted_entries(a_) > 0)
                throw IoError::lockedArchive();
            throw IoError::damagedArchive();
        }
        return n;
    }

    DecodeBudget &budget() { return budget_; }

private:
    // Reads through the entry passed over instead of skipping it: Debian's
    // libarchive 3.6.2 fails to skip an entry of a solid 7z whose size is
    // a multiple of 64 KiB, and the reading counts against the budget.
    void passCurrent()
    {
        if (!current_)
            return;
        const bool encrypted = archive_entry_is_encrypted(current_);
        current_ = nullptr;
        if (encrypted) {
            if (archive_read_data_skip(a_) != ARCHIVE_OK)
                throw failure(true);
            return;
        }
        char buffer[65536];
        while (const qint64 n = readSome(buffer, sizeof buffer))
            budget_.spend(n);
    }

    // Why libarchive gave up: a header encrypted as a whole (7z -mhe) is
    // a locked archive, anything else a damaged one.
    IoError failure(bool opened) const
    {
        const char *why = archive_error_string(a_);
        if ((opened && archive_read_has_encrypted_entries(a_) > 0) || (why && std::strstr(why, "encrypted")))
            return IoError::lockedArchive();
        return IoError::damagedArchive();
    }

    struct Free {
        void operator()(archive *a) const { archive_read_free(a); }
    };
    std::unique_ptr<archive, Free> handle_;
    archive *a_;
    archive_entry *current_ = nullptr;
    DecodeBudget &budget_;
};

// The entry's name as bytes, for the ROM suffix, and as shown.
QByteArrayView rawName(archive_entry *entry)
{
    if (const char *utf8 = archive_entry_pathname_utf8(entry))
        return QByteArrayView(utf8);
    if (const char *raw = archive_entry_pathname(entry))
        return QByteArrayView(raw);
    return QByteArrayView();
}

QString entryName(archive_entry *entry)
{
    if (const char *utf8 = archive_entry_pathname_utf8(entry))
        return shownEntryName(QString::fromUtf8(utf8));
    if (const char *raw = archive_entry_pathname(entry))
        return shownEntryName(displayPath(decodePath(QByteArray(raw))));
    return QString();
}

ArchiveRom readChosen(ArchiveReader &reader, archive_entry *entry, qint64 wanted, RomDigest *digest)
{
    if (archive_entry_is_encrypted(entry))
        throw IoError::lockedArchive();
    ArchiveRom rom;
    rom.entryName = entryName(entry);
    rom.size = archive_entry_size_is_set(entry) ? archive_entry_size(entry) : -1;
    if (digest && rom.size > kMaxRomBytes)
        throw IoError::fileTooLarge();
    const auto readSome = [&reader](char *data, qint64 length) { return reader.readSome(data, length); };
    unpack(readSome, wanted, digest, &rom.bytes, &reader.budget());
    if (digest) {
        // libarchive has compared the CRC the archive stores by now.
        rom.size = digest->size();
        rom.crc32 = digest->crc32();
        rom.bytes = digest->head();
    } else if (rom.size < 0) {
        // Only the whole stream tells; counted, never kept.
        RomDigest rest;
        unpack(readSome, -1, &rest, nullptr, &reader.budget());
        rom.size = rom.bytes.size() + rest.size();
    }
    return rom;
}

// Counts the chosen ROM and the entries with a ROM's name after it. In a
// solid 7z they are reached only by unpacking what lies between, so this
// is done only when the ROM is read whole anyway, and stops where the
// budget does.
void countLaterRoms(ArchiveReader &reader, ArchiveRom &rom)
{
    rom.romCount = 1;
    try {
        while (archive_entry *entry = reader.nextFile())
            if (hasRomName(rawName(entry)))
                ++rom.romCount;
    } catch (const IoError &) {
        rom.romCountComplete = false;
    }
}

ArchiveRom readRom(const std::function<int(archive *)> &open, qint64 wanted, RomDigest *digest)
{
    DecodeBudget budget;  // both readings together
    int firstFile = -1;
    {
        ArchiveReader reader(open, budget);
        int index = 0;
        while (archive_entry *entry = reader.nextFile()) {
            if (hasRomName(rawName(entry))) {
                ArchiveRom rom = readChosen(reader, entry, wanted, digest);
                if (digest)
                    countLaterRoms(reader, rom);
                return rom;
            }
            if (firstFile < 0)
                firstFile = index;
            ++index;
        }
    }
    if (firstFile < 0)
        throw IoError::emptyArchive();
    ArchiveReader again(open, budget);
    archive_entry *entry = again.nextFile();
    for (int index = 0; entry && index < firstFile; ++index)
        entry = again.nextFile();
    if (!entry)
        throw IoError::damagedArchive();
    return readChosen(again, entry, wanted, digest);
}

}  // namespace

ArchiveRom readSevenZipRom(int fd, qint64 wanted, RomDigest *digest)
{
    return readRom([fd](archive *a) {
        // Each opening reads from the start; libarchive moves the offset.
        if (::lseek(fd, 0, SEEK_SET) != 0)
            throw IoError::fromErrno(errno);
        return archive_read_open_fd(a, fd, 16384);
    }, wanted, digest);
}

ArchiveRom readSevenZipRom(const QByteArray &archive, qint64 wanted, RomDigest *digest)
{
    return readRom([&archive](struct archive *a) {
        return archive_read_open_memory(a, archive.constData(), size_t(archive.size()));
    }, wanted, digest);
}

}  // namespace vantorix
