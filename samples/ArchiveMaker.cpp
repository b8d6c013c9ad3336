#include "samples/ArchiveMaker.h"

#include <archive.h>
#include <archive_entry.h>

#include <memory>

namespace vantorix {

namespace {

la_ssize_t append(archive *, void *data, const void *buffer, size_t length)
{
    static_cast<QByteArray *>(data)->append(static_cast<const char *>(buffer), qsizetype(length));
    return la_ssize_t(length);
}

}  // namespace

QByteArray makeArchive(ArchiveFormat format, const ArchiveEntries &entries, const QByteArray &passphrase)
{
    std::unique_ptr<archive, decltype(&archive_write_free)> a(archive_write_new(), archive_write_free);
    switch (format) {
    case ArchiveFormat::ZipDeflated:
        archive_write_set_format_zip(a.get());
        break;
    case ArchiveFormat::ZipStored:
        archive_write_set_format_zip(a.get());
        archive_write_set_format_option(a.get(), "zip", "compression", "store");
        break;
    case ArchiveFormat::SevenZip:
        archive_write_set_format_7zip(a.get());
        break;
    }
    if (!passphrase.isEmpty()
        && (archive_write_set_format_option(a.get(), "zip", "encryption", "zipcrypt") != ARCHIVE_OK
            || archive_write_set_passphrase(a.get(), passphrase.constData()) != ARCHIVE_OK))
        return QByteArray();
    // Every byte goes out as it comes, never in padded blocks.
    archive_write_set_bytes_per_block(a.get(), 0);
    QByteArray out;
    if (archive_write_open2(a.get(), &out, nullptr, append, nullptr, nullptr) != ARCHIVE_OK)
        return QByteArray();
    const QString linkPrefix = symbolicLinkEntry(QString());
    for (const auto &[given, data] : entries) {
        std::unique_ptr<archive_entry, decltype(&archive_entry_free)> entry(archive_entry_new(), archive_entry_free);
        const bool link = given.startsWith(linkPrefix);
        const QString name = link ? given.mid(linkPrefix.size()) : given;
        const QByteArray content = link ? QByteArray() : data;
        archive_entry_set_pathname_utf8(entry.get(), name.toUtf8().constData());
        archive_entry_set_filetype(entry.get(), link ? AE_IFLNK : name.endsWith(QLatin1Char('/')) ? AE_IFDIR : AE_IFREG);
        if (link)
            archive_entry_set_symlink(entry.get(), data.constData());
        archive_entry_set_perm(entry.get(), 0644);
        archive_entry_set_size(entry.get(), content.size());
        archive_entry_set_mtime(entry.get(), 1700000000, 0);
        if (archive_write_header(a.get(), entry.get()) != ARCHIVE_OK)
            return QByteArray();
        if (!content.isEmpty() && archive_write_data(a.get(), content.constData(), size_t(content.size())) < 0)
            return QByteArray();
    }
    if (archive_write_close(a.get()) != ARCHIVE_OK)
        return QByteArray();
    return out;
}

}  // namespace vantorix
