#include "catalogue/RomArchive.h"

#include "app/FilePath.h"
#include "app/IoError.h"
#include "catalogue/RomDigest.h"

#include <archive.h>
#include <archive_entry.h>

#include <cerrno>
#include <functional>
#include <memory>
#include <unistd.h>

namespace vantorix {

namespace {

bool hasRomName(const QString &name)
{
    for (const char *suffix : {".gb", ".gbc", ".cgb", ".sgb"})
        if (name.endsWith(QLatin1String(suffix), Qt::CaseInsensitive))
            return true;
    return false;
}

// One reading of an archive from its start; libarchive cannot go back to
// an entry it has passed, so choosing a later entry opens it again.
class ArchiveReader {
public:
    explicit ArchiveReader(const std::function<int(archive *)> &open) : handle_(archive_read_new())
    {
        a_ = handle_.get();
        if (!a_)
            throw std::bad_alloc();
        // Only the two formats ROM sets come in; the seekable zip reader
        // trusts the central directory, as every unzip tool does.
        archive_read_support_format_zip_seekable(a_);
        archive_read_support_format_7zip(a_);
        if (open(a_) != ARCHIVE_OK)
            throw IoError::damagedArchive();
    }

    // The next entry that is a file, or null at the end.
    archive_entry *nextFile()
    {
        archive_entry *entry = nullptr;
        for (;;) {
            const int status = archive_read_next_header(a_, &entry);
            if (status == ARCHIVE_EOF)
                return nullptr;
            if (status < ARCHIVE_WARN)
                throw IoError::damagedArchive();
            if (archive_entry_filetype(entry) == AE_IFREG)
                return entry;
        }
    }

    // Unpacks up to wanted bytes of the current entry (all of it when
    // wanted < 0), handing each piece to take.
    void read(qint64 wanted, const std::function<void(const char *, qint64)> &take)
    {
        char buffer[65536];
        qint64 done = 0;
        while (wanted < 0 || done < wanted) {
            const qint64 ask = wanted < 0 ? qint64(sizeof buffer) : qMin<qint64>(sizeof buffer, wanted - done);
            const la_ssize_t n = archive_read_data(a_, buffer, size_t(ask));
            if (n == 0)
                return;
            if (n < 0) {
                // A bad CRC, a cut stream, or an entry it cannot decrypt.
                if (archive_read_has_encrypted_entries(a_) > 0)
                    throw IoError::lockedArchive();
                throw IoError::damagedArchive();
            }
            take(buffer, n);
            done += n;
        }
    }

private:
    struct Free {
        void operator()(archive *a) const { archive_read_free(a); }
    };
    std::unique_ptr<archive, Free> handle_;
    archive *a_;
};

QString entryName(archive_entry *entry)
{
    if (const char *utf8 = archive_entry_pathname_utf8(entry))
        return QString::fromUtf8(utf8);
    if (const char *raw = archive_entry_pathname(entry))
        return displayPath(decodePath(QByteArray(raw)));
    return QString();
}

ArchiveRom readChosen(ArchiveReader &reader, archive_entry *entry, qint64 wanted, RomDigest *digest)
{
    if (archive_entry_is_encrypted(entry))
        throw IoError::lockedArchive();
    ArchiveRom rom;
    rom.entryName = entryName(entry);
    const bool sizeKnown = archive_entry_size_is_set(entry);
    rom.size = sizeKnown ? archive_entry_size(entry) : -1;
    if (digest) {
        if (rom.size > kMaxRomBytes)
            throw IoError::fileTooLarge();
        reader.read(-1, [&](const char *data, qint64 n) {
            if (digest->size() + n > kMaxRomBytes)
                throw IoError::fileTooLarge();
            digest->add(data, n);
        });
        // libarchive has compared the CRC the archive stores by now.
        rom.size = digest->size();
        rom.crc32 = digest->crc32();
        rom.bytes = digest->head();
        return rom;
    }
    rom.bytes.reserve(int(qMin<qint64>(wanted, 1 << 20)));
    reader.read(wanted, [&](const char *data, qint64 n) { rom.bytes.append(data, n); });
    if (!sizeKnown) {
        // Only the whole stream tells; counted, never kept.
        qint64 rest = 0;
        reader.read(-1, [&](const char *, qint64 n) {
            rest += n;
            if (rom.bytes.size() + rest > kMaxRomBytes)
                throw IoError::fileTooLarge();
        });
        rom.size = rom.bytes.size() + rest;
    }
    return rom;
}

ArchiveRom readRom(const std::function<int(archive *)> &open, qint64 wanted, RomDigest *digest)
{
    int firstFile = -1;
    {
        ArchiveReader reader(open);
        int index = 0;
        while (archive_entry *entry = reader.nextFile()) {
            if (hasRomName(entryName(entry)))
                return readChosen(reader, entry, wanted, digest);
            if (firstFile < 0)
                firstFile = index;
            ++index;
        }
    }
    if (firstFile < 0)
        throw IoError::emptyArchive();
    ArchiveReader again(open);
    archive_entry *entry = again.nextFile();
    for (int index = 0; entry && index < firstFile; ++index)
        entry = again.nextFile();
    if (!entry)
        throw IoError::damagedArchive();
    return readChosen(again, entry, wanted, digest);
}

}  // namespace

bool isArchive(const QByteArray &lead)
{
    return lead.startsWith(QByteArrayLiteral("PK\x03\x04")) || lead.startsWith(QByteArrayLiteral("PK\x05\x06"))
           || lead.startsWith(QByteArrayLiteral("7z\xBC\xAF\x27\x1C"));
}

// A zip that begins with its end record has no entry; libarchive's zip
// reader does not take it for a zip at all.
static bool isEmptyZip(const QByteArray &lead)
{
    return lead.startsWith(QByteArrayLiteral("PK\x05\x06"));
}

ArchiveRom readArchiveRom(int fd, qint64 wanted, RomDigest *digest)
{
    char lead[4];
    if (::pread(fd, lead, sizeof lead, 0) == ssize_t(sizeof lead) && isEmptyZip(QByteArray(lead, sizeof lead)))
        throw IoError::emptyArchive();
    return readRom([fd](archive *a) {
        // Each opening reads from the start; libarchive moves the offset.
        if (::lseek(fd, 0, SEEK_SET) != 0)
            throw IoError::fromErrno(errno);
        return archive_read_open_fd(a, fd, 16384);
    }, wanted, digest);
}

ArchiveRom readArchiveRom(const QByteArray &archive, qint64 wanted, RomDigest *digest)
{
    if (isEmptyZip(archive))
        throw IoError::emptyArchive();
    return readRom([&archive](struct archive *a) {
        return archive_read_open_memory(a, archive.constData(), size_t(archive.size()));
    }, wanted, digest);
}

}  // namespace vantorix
