#include "catalogue/RomArchive.h"

#include "app/FilePath.h"
#include "app/IoError.h"
#include "catalogue/RomDigest.h"

#include <archive.h>
#include <archive_entry.h>
#include <zip.h>

#include <cerrno>
#include <functional>
#include <memory>
#include <sys/stat.h>
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
        // 7z archives; zips go through libzip (see below).
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

private:
    struct Free {
        void operator()(archive *a) const { archive_read_free(a); }
    };
    std::unique_ptr<archive, Free> handle_;
    archive *a_;
};

// Unpacks the chosen entry through readSome (the bytes it placed, 0 at the
// end; it throws on failure): at most wanted bytes into bytes, or with a
// digest all of it through the digest, refused past kMaxRomBytes.
void unpack(const std::function<qint64(char *, qint64)> &readSome, qint64 wanted, RomDigest *digest,
            QByteArray *bytes)
{
    char buffer[65536];
    const qint64 limit = digest ? -1 : wanted;
    for (qint64 done = 0; limit < 0 || done < limit;) {
        const qint64 n = readSome(buffer, limit < 0 ? qint64(sizeof buffer) : qMin<qint64>(sizeof buffer, limit - done));
        if (n == 0)
            return;
        if (digest) {
            if (digest->size() + n > kMaxRomBytes)
                throw IoError::fileTooLarge();
            digest->add(buffer, n);
        } else {
            bytes->append(buffer, qsizetype(n));
        }
        done += n;
    }
}

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
    rom.size = archive_entry_size_is_set(entry) ? archive_entry_size(entry) : -1;
    if (digest && rom.size > kMaxRomBytes)
        throw IoError::fileTooLarge();
    const auto readSome = [&reader](char *data, qint64 length) { return reader.readSome(data, length); };
    unpack(readSome, wanted, digest, &rom.bytes);
    if (digest) {
        // libarchive has compared the CRC the archive stores by now.
        rom.size = digest->size();
        rom.crc32 = digest->crc32();
        rom.bytes = digest->head();
    } else if (rom.size < 0) {
        // Only the whole stream tells; counted, never kept.
        RomDigest rest;
        unpack(readSome, -1, &rest, nullptr);
        rom.size = rom.bytes.size() + rest.size();
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

// ------------------------------------------------------------------ zip
//
// Zips go through libzip, which inflates only as much as is read: the
// header pass needs 848 bytes of a ROM, where libarchive inflates it whole.

constexpr qint64 kWholeReadLimit = 256 * 1024;  // smaller archives are read in one go

// A libzip source reading an open file with pread, so that nothing moves
// the descriptor's offset and nothing is written.
struct FdSource {
    int fd;
    qint64 size;
    qint64 offset;
    zip_error_t error;

    static zip_int64_t callback(void *state, void *data, zip_uint64_t length, zip_source_cmd_t command)
    {
        auto *self = static_cast<FdSource *>(state);
        switch (command) {
        case ZIP_SOURCE_OPEN:
            self->offset = 0;
            return 0;
        case ZIP_SOURCE_READ: {
            const ssize_t n = ::pread(self->fd, data, size_t(length), off_t(self->offset));
            if (n < 0) {
                zip_error_set(&self->error, ZIP_ER_READ, errno);
                return -1;
            }
            self->offset += n;
            return n;
        }
        case ZIP_SOURCE_CLOSE:
        case ZIP_SOURCE_FREE:
            return 0;
        case ZIP_SOURCE_STAT: {
            auto *st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &self->error);
            if (!st)
                return -1;
            zip_stat_init(st);
            st->size = zip_uint64_t(self->size);
            st->valid |= ZIP_STAT_SIZE;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&self->error, data, length);
        case ZIP_SOURCE_SEEK: {
            const zip_int64_t to = zip_source_seek_compute_offset(zip_uint64_t(self->offset),
                                                                   zip_uint64_t(self->size), data, length,
                                                                   &self->error);
            if (to < 0)
                return -1;
            self->offset = to;
            return 0;
        }
        case ZIP_SOURCE_TELL:
            return self->offset;
        case ZIP_SOURCE_SUPPORTS:
            return ZIP_SOURCE_SUPPORTS_SEEKABLE;
        default:
            zip_error_set(&self->error, ZIP_ER_OPNOTSUPP, 0);
            return -1;
        }
    }
};

struct ZipCloser {
    void operator()(zip_t *z) const { zip_discard(z); }
};
struct ZipFileCloser {
    void operator()(zip_file_t *f) const { zip_fclose(f); }
};

IoError zipError(int code)
{
    if (code == ZIP_ER_NOPASSWD || code == ZIP_ER_WRONGPASSWD || code == ZIP_ER_ENCRNOTSUPP)
        return IoError::lockedArchive();
    if (code == ZIP_ER_MEMORY)
        throw std::bad_alloc();
    return IoError::damagedArchive();
}

// The opened zip; the source is taken in any case.
std::unique_ptr<zip_t, ZipCloser> openZip(zip_source_t *src, zip_error_t *error)
{
    if (!src)
        throw zipError(zip_error_code_zip(error));
    zip_t *z = zip_open_from_source(src, ZIP_RDONLY, error);
    if (!z) {
        zip_source_free(src);
        throw zipError(zip_error_code_zip(error));
    }
    return std::unique_ptr<zip_t, ZipCloser>(z);
}

ArchiveRom readZip(zip_t *z, qint64 wanted, RomDigest *digest)
{
    const zip_int64_t count = zip_get_num_entries(z, 0);
    zip_int64_t chosen = -1;
    zip_int64_t firstFile = -1;
    for (zip_int64_t i = 0; i < count && chosen < 0; ++i) {
        const char *name = zip_get_name(z, zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        if (!name)
            throw IoError::damagedArchive();
        const QString text = QString::fromUtf8(name);
        if (text.endsWith(QLatin1Char('/')))
            continue;  // a folder
        if (hasRomName(text))
            chosen = i;
        else if (firstFile < 0)
            firstFile = i;
    }
    if (chosen < 0)
        chosen = firstFile;
    if (chosen < 0)
        throw IoError::emptyArchive();

    zip_stat_t st;
    if (zip_stat_index(z, zip_uint64_t(chosen), ZIP_FL_ENC_GUESS, &st) != 0)
        throw zipError(zip_error_code_zip(zip_get_error(z)));
    if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
        throw IoError::lockedArchive();
    ArchiveRom rom;
    rom.entryName = QString::fromUtf8(st.name);
    if (!(st.valid & ZIP_STAT_SIZE) || st.size > zip_uint64_t(1) << 62)
        throw IoError::damagedArchive();
    rom.size = qint64(st.size);
    if (digest && rom.size > kMaxRomBytes)
        throw IoError::fileTooLarge();

    std::unique_ptr<zip_file_t, ZipFileCloser> file(zip_fopen_index(z, zip_uint64_t(chosen), 0));
    if (!file)
        throw zipError(zip_error_code_zip(zip_get_error(z)));
    unpack([&file](char *data, qint64 length) {
        const zip_int64_t n = zip_fread(file.get(), data, zip_uint64_t(length));
        if (n < 0)
            throw zipError(zip_error_code_zip(zip_file_get_error(file.get())));  // a bad CRC among them
        return qint64(n);
    }, wanted, digest, &rom.bytes);
    if (digest) {
        // What came out must be the size and the CRC the archive stores.
        if (rom.size != digest->size() || ((st.valid & ZIP_STAT_CRC) && st.crc != digest->crc32()))
            throw IoError::damagedArchive();
        rom.crc32 = digest->crc32();
        rom.bytes = digest->head();
    }
    return rom;
}

bool isZip(const QByteArray &lead)
{
    return lead.startsWith(QByteArrayLiteral("PK\x03\x04")) || lead.startsWith(QByteArrayLiteral("PK\x05\x06"));
}

}  // namespace

bool isArchive(const QByteArray &lead)
{
    return isZip(lead) || lead.startsWith(QByteArrayLiteral("7z\xBC\xAF\x27\x1C"));
}


ArchiveRom readArchiveRom(int fd, qint64 wanted, RomDigest *digest)
{
    char lead[8] = {};
    const ssize_t leadBytes = ::pread(fd, lead, sizeof lead, 0);
    if (leadBytes < 0)
        throw IoError::fromErrno(errno);
    if (isZip(QByteArray(lead, int(leadBytes)))) {
        struct stat st;
        if (::fstat(fd, &st) != 0)
            throw IoError::fromErrno(errno);
        zip_error_t error;
        zip_error_init(&error);
        if (st.st_size <= kWholeReadLimit) {
            // Most zips of a collection hold one small ROM: one read.
            QByteArray whole(qsizetype(st.st_size), Qt::Uninitialized);
            const ssize_t n = ::pread(fd, whole.data(), size_t(whole.size()), 0);
            if (n < 0)
                throw IoError::fromErrno(errno);
            whole.truncate(qsizetype(n));
            return readArchiveRom(whole, wanted, digest);
        }
        FdSource source{fd, qint64(st.st_size), 0, {}};
        zip_error_init(&source.error);
        auto z = openZip(zip_source_function_create(&FdSource::callback, &source, &error), &error);
        return readZip(z.get(), wanted, digest);
    }
    return readRom([fd](archive *a) {
        // Each opening reads from the start; libarchive moves the offset.
        if (::lseek(fd, 0, SEEK_SET) != 0)
            throw IoError::fromErrno(errno);
        return archive_read_open_fd(a, fd, 16384);
    }, wanted, digest);
}

ArchiveRom readArchiveRom(const QByteArray &archive, qint64 wanted, RomDigest *digest)
{
    if (isZip(archive)) {
        zip_error_t error;
        zip_error_init(&error);
        auto z = openZip(zip_source_buffer_create(archive.constData(), zip_uint64_t(archive.size()), 0, &error),
                         &error);
        return readZip(z.get(), wanted, digest);
    }
    return readRom([&archive](struct archive *a) {
        return archive_read_open_memory(a, archive.constData(), size_t(archive.size()));
    }, wanted, digest);
}

}  // namespace vantorix
