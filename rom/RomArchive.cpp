#include "rom/RomArchive.h"

#include "platform/FilePath.h"
#include "platform/IoError.h"
#include "platform/ShownText.h"
#include "rom/ArchiveParts.h"
#include "rom/RomDigest.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace vantorix {

bool hasRomName(QByteArrayView name)
{
    for (const char *suffix : {".gb", ".gbc", ".cgb", ".sgb"}) {
        const qsizetype length = qsizetype(std::strlen(suffix));
        if (name.size() >= length
            && name.sliced(name.size() - length).compare(QByteArrayView(suffix), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString shownEntryName(const QString &name)
{
    return shownText(name, kShownEntryNameLength);
}

void DecodeBudget::spend(qint64 bytes)
{
    spent_ += bytes;
    if (spent_ > kMaxArchiveDecodedBytes)
        throw IoError::fileTooLarge();
}

void unpack(const std::function<qint64(char *, qint64)> &readSome, qint64 wanted, RomDigest *digest,
            QByteArray *bytes, DecodeBudget *budget)
{
    char buffer[65536];
    const qint64 limit = digest ? -1 : wanted;
    for (qint64 done = 0; limit < 0 || done < limit;) {
        const qint64 n = readSome(buffer, limit < 0 ? qint64(sizeof buffer) : qMin<qint64>(sizeof buffer, limit - done));
        if (n == 0)
            return;
        if (budget)
            budget->spend(n);
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

bool isZip(QByteArrayView lead)
{
    return lead.startsWith(QByteArrayView("PK\x03\x04", 4)) || lead.startsWith(QByteArrayView("PK\x05\x06", 4));
}

bool isArchive(const QByteArray &lead)
{
    return isZip(lead) || lead.startsWith(QByteArrayLiteral("7z\xBC\xAF\x27\x1C"));
}

ArchiveRom readArchiveRom(int fd, qint64 fileSize, QByteArrayView lead, qint64 wanted, RomDigest *digest)
{
    if (!isZip(lead))
        return readSevenZipRom(fd, wanted, digest);
    if (fileSize > kWholeZipReadLimit || lead.size() > fileSize)
        return readZipRom(fd, fileSize, wanted, digest);
    // Most zips of a collection hold one small ROM: the rest read in one
    // go after what was read already.
    QByteArray whole(qsizetype(fileSize), Qt::Uninitialized);
    std::memcpy(whole.data(), lead.data(), size_t(lead.size()));
    const qint64 rest = readAt(fd, whole.data() + lead.size(), fileSize - lead.size(), lead.size());
    whole.truncate(lead.size() + qsizetype(rest));
    return readZipRom(whole, wanted, digest);
}

ArchiveRom readArchiveRom(int fd, qint64 wanted, RomDigest *digest)
{
    char lead[8] = {};
    const qint64 leadBytes = readAt(fd, lead, sizeof lead, 0);
    if (!isZip(QByteArrayView(lead, qsizetype(leadBytes))))
        return readSevenZipRom(fd, wanted, digest);
    struct stat st;
    if (::fstat(fd, &st) != 0)
        throw IoError::fromErrno(errno);
    return readZipRom(fd, qint64(st.st_size), wanted, digest);
}

ArchiveRom readArchiveRom(const QByteArray &archive, qint64 wanted, RomDigest *digest)
{
    return isZip(archive) ? readZipRom(archive, wanted, digest) : readSevenZipRom(archive, wanted, digest);
}

}  // namespace vantorix
