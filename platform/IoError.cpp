#include "platform/IoError.h"

#include <QCoreApplication>

#include <cerrno>

namespace vantorix {

IoError::IoError(Code code, const QString &text, int platformErrno)
    : code_(code), errno_(platformErrno), text_(text), what_(text.toUtf8()) {}

IoError IoError::fromErrno(int err)
{
    IoError error = named(err);
    error.errno_ = err;
    return error;
}

IoError IoError::named(int err)
{
    switch (err) {
    case ENOENT:
        return IoError(FileNotFound, QCoreApplication::translate("IoError", "File not found"));
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
        return IoError(InvalidFilename, QCoreApplication::translate("IoError", "Invalid filename"));
    case ELOOP:
        return IoError(InvalidFilename, QCoreApplication::translate("IoError", "Too many levels of symbolic links"));
    case EMFILE:
    case ENFILE:
        return IoError(TooManyOpenFiles, QCoreApplication::translate("IoError", "Too many open files"));
    case EACCES:
    case EPERM:
    case ENXIO:    // a socket or a device without its driver
    case ENODEV:
    case ESPIPE:   // a pipe where a file was listed
    case EROFS:
    case ETXTBSY:
    case EBUSY:
        return IoError(AccessDenied, QCoreApplication::translate("IoError", "File access denied"));
    case EISDIR:
        return IoError(IsFolder, QCoreApplication::translate("IoError", "Is a folder"));
    case ENOSPC:
    case EDQUOT:
        return IoError(DiskFull, QCoreApplication::translate("IoError", "Disk full"));
    case EFBIG:
    case EOVERFLOW:
        return fileTooLarge();
    default:
        // Any other failure keeps its number, so that it can be looked up.
        return IoError(OtherPlatformError, QCoreApplication::translate("IoError", "I/O error %1").arg(err), err);
    }
}

IoError IoError::readBeyondEnd(qint64 fileSize)
{
    if (fileSize == 0)
        return IoError(ReadBeyondEnd, QCoreApplication::translate("IoError", "Empty file"));
    return IoError(ReadBeyondEnd, QCoreApplication::translate("IoError", "Read beyond end of file"));
}

IoError IoError::systemFolder()
{
    return IoError(SystemFolder, QCoreApplication::translate("IoError", "A folder of the system's, not of files"));
}

IoError IoError::fileTooLarge()
{
    return IoError(FileTooLarge, QCoreApplication::translate("IoError", "File too large"));
}

IoError IoError::notRegularFile()
{
    return IoError(NotRegularFile, QCoreApplication::translate("IoError", "Not a regular file"));
}

IoError IoError::damagedArchive()
{
    return IoError(DamagedArchive, QCoreApplication::translate("IoError", "Damaged or truncated archive"));
}

IoError IoError::lockedArchive()
{
    return IoError(LockedArchive, QCoreApplication::translate("IoError", "Password-protected archive"));
}

IoError IoError::noRomInArchive()
{
    return IoError(NoRomInArchive, QCoreApplication::translate("IoError", "No ROM in the archive"));
}

IoError IoError::emptyArchive()
{
    return IoError(EmptyArchive, QCoreApplication::translate("IoError", "No file in the archive"));
}

}  // namespace vantorix
