// Zipped ROMs, through libzip, which inflates only as much as is read: the
// header pass needs 848 bytes of a ROM, where libarchive inflates it whole.
#include "platform/IoError.h"
#include "platform/FilePath.h"
#include "rom/ArchiveParts.h"
#include "rom/RomDigest.h"

#include <zip.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace vantorix {

namespace {


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

// Whether entry i holds a file: not a folder, and not a symbolic link or
// device that a Unix zip records in its attributes (a link's bytes are
// its target's name, no ROM).
bool isFileEntry(zip_t *z, zip_uint64_t i, const char *name)
{
    const size_t length = std::strlen(name);
    if (length > 0 && name[length - 1] == '/')
        return false;
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(z, i, 0, &system, &attributes) != 0 || system != ZIP_OPSYS_UNIX)
        return true;
    const mode_t type = mode_t(attributes >> 16) & S_IFMT;
    return type == 0 || type == S_IFREG;
}

ArchiveRom readZip(zip_t *z, qint64 wanted, RomDigest *digest)
{
    const zip_int64_t count = zip_get_num_entries(z, 0);
    zip_int64_t chosen = -1;
    zip_int64_t firstFile = -1;
    int romCount = 0;
    // Every entry is looked at: the directory tells how many ROMs there
    // are without unpacking any.
    for (zip_int64_t i = 0; i < count; ++i) {
        const char *name = zip_get_name(z, zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        if (!name)
            throw IoError::damagedArchive();
        if (!isFileEntry(z, zip_uint64_t(i), name))
            continue;
        if (hasRomName(QByteArrayView(name))) {
            ++romCount;
            if (chosen < 0)
                chosen = i;
        } else if (firstFile < 0) {
            firstFile = i;
        }
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
    rom.romCount = romCount;
    rom.entryName = shownEntryName(QString::fromUtf8(st.name));
    if (!(st.valid & ZIP_STAT_SIZE) || st.size > zip_uint64_t(1) << 62)
        throw IoError::damagedArchive();
    rom.size = qint64(st.size);
    rom.hasStoredCrc = (st.valid & ZIP_STAT_CRC) != 0;
    rom.storedCrc32 = rom.hasStoredCrc ? quint32(st.crc) : 0;
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

}  // namespace

ArchiveRom readZipRom(int fd, qint64 fileSize, qint64 wanted, RomDigest *digest)
{
    if (fileSize <= kWholeZipReadLimit) {
        // Most zips of a collection hold one small ROM: one read.
        QByteArray whole(qsizetype(fileSize), Qt::Uninitialized);
        whole.truncate(qsizetype(readAt(fd, whole.data(), whole.size(), 0)));
        return readZipRom(whole, wanted, digest);
    }
    zip_error_t error;
    zip_error_init(&error);
    FdSource source{fd, fileSize, 0, {}};
    zip_error_init(&source.error);
    auto z = openZip(zip_source_function_create(&FdSource::callback, &source, &error), &error);
    return readZip(z.get(), wanted, digest);
}

ArchiveRom readZipRom(const QByteArray &archive, qint64 wanted, RomDigest *digest)
{
    zip_error_t error;
    zip_error_init(&error);
    auto z = openZip(zip_source_buffer_create(archive.constData(), zip_uint64_t(archive.size()), 0, &error), &error);
    return readZip(z.get(), wanted, digest);
}

}  // namespace vantorix
