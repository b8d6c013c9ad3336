#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace vantorix {

// A failed file operation, carrying the code and the text that the user is
// shown ("File not found", "Read beyond end of file", ...).
class IoError : public std::exception {
public:
    enum Code {
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
    };

    IoError(int code, const QString &text);

    // Maps a POSIX errno value onto the program's codes and texts.
    static IoError fromErrno(int err);
    static IoError readBeyondEnd();
    static IoError fileTooLarge();
    static IoError notRegularFile();
    static IoError damagedArchive();
    static IoError lockedArchive();
    static IoError emptyArchive();

    int code() const { return code_; }
    const QString &text() const { return text_; }
    const char *what() const noexcept override { return what_.constData(); }

private:
    int code_;
    QString text_;
    QByteArray what_;
};

}  // namespace vantorix
