#include "catalogue/RomHeader.h"

#include "app/GameListEntry.h"
#include "app/IoError.h"

#include <QFile>

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

QString entryFromHeader(const QByteArray &block, const QString &listedName)
{
    return composeEntry(titleText(block), entryFileName(listedName));
}

// Reads exactly size bytes or fails as a read beyond the end of the file.
void readExactly(int fd, char *buffer, int size)
{
    int filled = 0;
    while (filled < size) {
        const ssize_t n = ::read(fd, buffer + filled, size_t(size - filled));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw IoError::fromErrno(errno);
        }
        if (n == 0)
            throw IoError::readBeyondEnd();
        filled += int(n);
    }
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

QString titleText(const QByteArray &block)
{
    QString title;
    const qsizetype end = qMin<qsizetype>(block.size(), kTitleOffsetInBlock + kTitleSize);
    for (qsizetype i = kTitleOffsetInBlock; i < end; ++i) {
        const uchar c = uchar(block.at(i));
        if (isTitleCharacter(c))
            title.append(QLatin1Char(char(c)));
    }
    // Only spaces can stand at the ends after the filter.
    return trimmedUpTo(title, 32);
}

QString entryFileName(const QString &listedName)
{
    return trimmedUpTo(listedName.toUpper(), 32);
}

QString entryFromImage(const QByteArray &image, const QString &listedName)
{
    if (image.size() < kLeadBytes)
        throw IoError::readBeyondEnd();
    const qint64 offset = headerOffset(locateHeader(image.left(kLeadBytes), image.size()));
    if (image.size() < offset + kHeaderBlockSize)
        throw IoError::readBeyondEnd();
    return entryFromHeader(image.mid(offset, kHeaderBlockSize), listedName);
}

bool isRegularFile(const QString &path)
{
    struct stat st;
    const QByteArray name = QFile::encodeName(path);
    return !name.isEmpty() && ::stat(name.constData(), &st) == 0 && S_ISREG(st.st_mode);
}

QString readRomEntry(const QString &path, const QString &listedName,
                     const std::function<void(const QString &)> &onRead)
{
    const QByteArray name = QFile::encodeName(path);
    // Read only: nothing is written. O_NONBLOCK keeps a FIFO that replaced
    // the file since it was listed from blocking the open.
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        throw IoError::fromErrno(errno);
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};

    struct stat st;
    if (::fstat(fd, &st) != 0)
        throw IoError::fromErrno(errno);
    if (!S_ISREG(st.st_mode))
        throw IoError::fromErrno(EINVAL);

    char lead[kLeadBytes];
    readExactly(fd, lead, kLeadBytes);
    if (onRead)
        onRead(listedName.toUpper());

    const QByteArray leadBytes(lead, kLeadBytes);
    // st.st_size is the size asked for; it is only used when not CTT.
    const qint64 offset = headerOffset(locateHeader(leadBytes, st.st_size));
    if (::lseek(fd, off_t(offset), SEEK_SET) < 0)
        throw IoError::fromErrno(errno);
    char block[kHeaderBlockSize];
    readExactly(fd, block, kHeaderBlockSize);
    return entryFromHeader(QByteArray(block, kHeaderBlockSize), listedName);
}

}  // namespace vantorix
