#include "rom/RomHeader.h"

#include "platform/FileDescriptor.h"
#include "platform/FilePath.h"
#include "rom/GameListEntry.h"
#include "platform/IoError.h"
#include "rom/RomArchive.h"
#include "rom/RomDigest.h"

#include <zlib.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantorix {

namespace {

bool isTitleCharacter(uchar c)
{
    return c == ' ' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// text without the leading and trailing characters of code up to limit.
QString trimmedUpTo(const QString &text, ushort limit)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= limit)
        ++first;
    while (last > first && text.at(last - 1).unicode() <= limit)
        --last;
    return text.mid(first, last - first);
}


}  // namespace

bool isCttFile(const QByteArray &lead)
{
    return lead.size() >= 3 && lead.at(0) == 'C' && lead.at(1) == 'T' && lead.at(2) == 'T';
}

bool isCopierImage(const QByteArray &lead, qint64 size)
{
    if (lead.size() < 2)
        return false;
    const qint64 blocks = qint64(uchar(lead.at(0))) * 8192 + qint64(uchar(lead.at(1))) * 2097152;
    return size - 512 == blocks;
}

HeaderLayout locateHeader(const QByteArray &lead, qint64 size)
{
    if (isCttFile(lead))
        return HeaderLayout::Ctt;
    if (isCopierImage(lead, size))
        return HeaderLayout::Copier;
    return HeaderLayout::Plain;
}

qint64 headerOffset(HeaderLayout layout)
{
    switch (layout) {
    case HeaderLayout::Ctt:
        return 326;
    case HeaderLayout::Copier:
        return 768;
    case HeaderLayout::Plain:
        break;
    }
    return 256;
}

QByteArrayView titleBytes(const QByteArray &block, char (&title)[kTitleSize])
{
    int length = 0;
    const qsizetype end = qMin<qsizetype>(block.size(), kTitleOffsetInBlock + kTitleSize);
    for (qsizetype i = kTitleOffsetInBlock; i < end; ++i) {
        const uchar c = uchar(block.at(i));
        // Colour cartridges put a maker's code after the zero padding.
        if (c == 0)
            break;
        if (isTitleCharacter(c))
            title[length++] = char(c);
    }
    // Only spaces can stand at the ends after the filter.
    int first = 0;
    while (first < length && title[first] == ' ')
        ++first;
    while (length > first && title[length - 1] == ' ')
        --length;
    return QByteArrayView(title + first, length - first);
}

QString titleText(const QByteArray &block)
{
    char title[kTitleSize];
    return QString::fromLatin1(titleBytes(block, title));
}

QString headerTitle(const QByteArray &block)
{
    const qsizetype start = kTitleOffsetInBlock;
    if (block.size() < start + kTitleSize)
        return QString();
    // The last title byte is the colour flag on colour cartridges.
    const uchar flag = uchar(block.at(start + kTitleSize - 1));
    const int length = flag == 0x80 || flag == 0xC0 ? kTitleSize - 1 : kTitleSize;
    QString title;
    for (int i = 0; i < length; ++i) {
        const uchar c = uchar(block.at(start + i));
        if (c == 0)
            break;
        title.append(c >= 0x20 && c < 0x7F ? QLatin1Char(char(c)) : QLatin1Char('?'));
    }
    return title.trimmed();
}

QString entryFileName(const QString &listedName)
{
    return trimmedUpTo(upperCaseLetterwise(listedName), 32);
}

QString entryFromHead(const QByteArray &head, qint64 fileSize, const QString &listedName)
{
    return entryFromHeadNamed(head, fileSize, entryFileName(listedName), listedName);
}

QByteArrayView entryTitle(const QByteArray &head, qint64 fileSize, char (&title)[kTitleSize])
{
    if (head.size() < kLeadBytes)
        throw IoError::readBeyondEnd(fileSize);
    // Views of the head: a folder of 100,000 files makes no copies of it.
    const qint64 offset = headerOffset(locateHeader(QByteArray::fromRawData(head.constData(), kLeadBytes), fileSize));
    if (head.size() < offset + kHeaderBlockSize)
        throw IoError::readBeyondEnd();
    return titleBytes(QByteArray::fromRawData(head.constData() + offset, kHeaderBlockSize), title);
}

QString entryFromHeadNamed(const QByteArray &head, qint64 fileSize, const QString &entryName,
                           const QString &fileName)
{
    char title[kTitleSize];
    const QByteArrayView read = entryTitle(head, fileSize, title);
    if (read.isEmpty())
        return composeEntry(namelessRomTitle(fileName.isEmpty() ? entryName : fileName), entryName);
    return composeEntry(QString::fromLatin1(read), entryName);
}

QString entryFromImage(const QByteArray &image, const QString &listedName)
{
    return entryFromHead(image.left(kHeadBytes), image.size(), listedName);
}

namespace {

// The CRC32 of the whole file, read from its start; false for a file over
// the largest ROM.
bool crcOfWholeFile(int fd, quint32 *crc)
{
    char buffer[65536];
    uLong value = ::crc32(0, nullptr, 0);
    qint64 offset = 0;
    while (const qint64 n = readAt(fd, buffer, sizeof buffer, offset)) {
        offset += n;
        if (offset > kMaxRomBytes)
            return false;
        value = ::crc32(value, reinterpret_cast<const Bytef *>(buffer), uInt(n));
    }
    *crc = quint32(value);
    return true;
}

void readKey(int fd, const struct stat &st, const QByteArray &lead, const ArchiveRom *archived, RomKeyRead *keyRead)
{
    keyRead->stamp = FileStamp::of(st);
    if (archived && archived->hasStoredCrc) {
        keyRead->key = romKeyOf(archived->bytes, archived->size, archived->storedCrc32);
        return;
    }
    if (keyRead->known) {
        const auto found = keyRead->known->constFind(keyRead->stamp);
        if (found != keyRead->known->constEnd()) {
            keyRead->key = found.value();
            return;
        }
    }
    if (archived) {
        RomDigest whole;
        readArchiveRom(fd, -1, &whole);
        keyRead->key = romKeyOf(whole.head(), whole.size(), whole.crc32());
    } else {
        quint32 crc = 0;
        if (!crcOfWholeFile(fd, &crc))
            return;
        keyRead->key = romKeyOf(lead, st.st_size, crc);
    }
    keyRead->fresh = true;
}

}  // namespace

bool readRomHeadInto(int dirFd, const QByteArray &name, char *buffer, QByteArray *head, qint64 *size,
                     QString *archiveEntry, RomKeyRead *keyRead)
{
    // Read only: nothing is written. O_NONBLOCK keeps a FIFO that replaced
    // the file since it was listed from blocking the open.
    const int fd = ::openat(dirFd, name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR || errno == ELOOP || errno == ENAMETOOLONG)
            return false;
        throw IoError::fromErrno(errno);
    }
    const FileDescriptor closer(fd);
    struct stat st;
    if (::fstat(fd, &st) != 0)
        throw IoError::fromErrno(errno);
    if (!S_ISREG(st.st_mode))
        return false;
    // Only a copier image has its block beyond the short head: each byte
    // copied out of a cold page costs, so the rest is read only for it.
    qsizetype wanted = kShortHeadBytes;
    qsizetype filled = 0;
    for (;;) {
        const qint64 n = readAt(fd, buffer + filled, wanted - filled, filled);
        filled += n;
        if (n == 0 || filled == kHeadBytes)
            break;
        if (filled == kShortHeadBytes && wanted == kShortHeadBytes) {
            if (!isCopierImage(QByteArray::fromRawData(buffer, kLeadBytes), st.st_size))
                break;
            wanted = kHeadBytes;
        }
    }
    *head = QByteArray::fromRawData(buffer, filled);
    *size = st.st_size;
    if (isArchive(*head)) {
        ArchiveRom rom = readArchiveRom(fd, st.st_size, QByteArrayView(buffer, filled), kHeadBytes);
        if (keyRead)
            readKey(fd, st, QByteArray(), &rom, keyRead);
        *head = std::move(rom.bytes);
        *size = rom.size;
        if (archiveEntry)
            *archiveEntry = rom.entryName;
    } else {
        if (archiveEntry)
            archiveEntry->clear();
        if (keyRead)
            readKey(fd, st, *head, nullptr, keyRead);
    }
    return true;
}

bool readRomHead(int dirFd, const QByteArray &name, QByteArray *head, qint64 *size, QString *archiveEntry)
{
    QByteArray buffer(kHeadBytes, Qt::Uninitialized);
    if (!readRomHeadInto(dirFd, name, buffer.data(), head, size, archiveEntry))
        return false;
    if (head->constData() == buffer.constData()) {  // not unpacked: own the bytes
        buffer.truncate(head->size());
        *head = std::move(buffer);
    }
    return true;
}

QString readRomEntry(const QString &path, const QString &listedName,
                     const std::function<void(const QString &)> &onRead)
{
    QByteArray head;
    qint64 size = 0;
    const QByteArray name = encodePath(path);
    if (!readRomHead(AT_FDCWD, name, &head, &size)) {
        struct stat st;
        throw IoError::fromErrno(::stat(name.constData(), &st) != 0 ? errno : EINVAL);
    }
    if (onRead)
        onRead(upperCaseLetterwise(listedName));
    return entryFromHead(head, size, listedName);
}

}  // namespace vantorix
