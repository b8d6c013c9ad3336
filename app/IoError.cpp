#include "app/IoError.h"

#include <cerrno>

namespace vantorix {

IoError::IoError(int code, const QString &text)
    : code_(code), text_(text), what_(text.toUtf8()) {}

IoError IoError::fromErrno(int err)
{
    switch (err) {
    case ENOENT:
        return IoError(FileNotFound, QStringLiteral("File not found"));
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP:
        return IoError(InvalidFilename, QStringLiteral("Invalid filename"));
    case EMFILE:
    case ENFILE:
        return IoError(TooManyOpenFiles, QStringLiteral("Too many open files"));
    case EACCES:
    case EPERM:
    case ENXIO:    // a socket or a device without its driver
    case ENODEV:
    case ESPIPE:   // a pipe where a file was listed
    case EROFS:
    case ETXTBSY:
    case EBUSY:
        return IoError(AccessDenied, QStringLiteral("File access denied"));
    case EISDIR:
        return IoError(IsFolder, QStringLiteral("Is a folder"));
    case ENOSPC:
    case EDQUOT:
        return IoError(DiskFull, QStringLiteral("Disk full"));
    case EFBIG:
    case EOVERFLOW:
        return fileTooLarge();
    default:
        // Any other failure keeps its number, so that it can be looked up.
        return IoError(1000 + err, QStringLiteral("I/O error %1").arg(err));
    }
}

IoError IoError::readBeyondEnd()
{
    return IoError(ReadBeyondEnd, QStringLiteral("Read beyond end of file"));
}

IoError IoError::fileTooLarge()
{
    return IoError(FileTooLarge, QStringLiteral("File too large"));
}

IoError IoError::notRegularFile()
{
    return IoError(NotRegularFile, QStringLiteral("Not a regular file"));
}

IoError IoError::damagedArchive()
{
    return IoError(DamagedArchive, QStringLiteral("Damaged or truncated archive"));
}

IoError IoError::lockedArchive()
{
    return IoError(LockedArchive, QStringLiteral("Password-protected archive"));
}

IoError IoError::emptyArchive()
{
    return IoError(EmptyArchive, QStringLiteral("No file in the archive"));
}

}  // namespace vantorix
