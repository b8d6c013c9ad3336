#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace vantorix {

// A failed file operation, carrying the code and the text that the user is
// shown ("File not found", "Read beyond end of file", ...). The program's
// own failures and the platform's are told apart by the code, never by a
// number range: a platform failure without a code of its own is
// OtherPlatformError and keeps its errno beside it.
class IoError : public std::exception {
public:
    enum Code {
        OtherPlatformError = 0,
        FileNotFound = 2,
        InvalidFilename = 3,
        TooManyOpenFiles = 4,
        AccessDenied = 5,
        ReadBeyondEnd = 100,
        DiskFull = 101,
        FileTooLarge = 1027,
        DamagedArchive = 1028,
        LockedArchive = 1029,
        EmptyArchive = 1030,
        NotRegularFile = 1031,
        IsFolder = 1032,
        NoRomInArchive = 1033,
        NotConfiguration = 1034,
        NotLibraryStore = 1035,
        NewerLibraryStore = 1036,
        SystemFolder = 1037,
        GameRunning = 1038,
    };

    IoError(Code code, const QString &text, int platformErrno = 0);

    // Maps a POSIX errno value onto the program's codes and texts.
    static IoError fromErrno(int err);
    // A file of no bytes at all (fileSize 0) says so instead.
    static IoError readBeyondEnd(qint64 fileSize = -1);
    static IoError fileTooLarge();
    static IoError notRegularFile();
    static IoError damagedArchive();
    static IoError lockedArchive();
    static IoError emptyArchive();
    static IoError noRomInArchive();
    // A folder of the system's own (/proc, /sys, /dev): no games there.
    static IoError systemFolder();

    Code code() const { return code_; }
    // The errno of a platform failure; 0 for the program's own.
    int platformErrno() const { return errno_; }
    const QString &text() const { return text_; }
    const char *what() const noexcept override { return what_.constData(); }

private:
    static IoError named(int err);

    Code code_;
    int errno_;
    QString text_;
    QByteArray what_;
};

}  // namespace vantorix
