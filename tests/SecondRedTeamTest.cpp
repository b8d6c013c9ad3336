// What opening, reading and writing must survive: nodes that are no ROM,
// output that cannot be written, names that fool a reader, saves that a
// rename cannot finish, and files too large to read.
#include "app/GameListEntry.h"
#include "app/IoError.h"
#include "app/Unit1.h"
#include "catalogue/CartridgeDetails.h"
#include "config/Configuration.h"
#include "config/TextFile.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QToolTip>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

using namespace testing_support;
using vantorix::IoError;

namespace {

QString sparseFile(const QString &path, qint64 size)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    EXPECT_TRUE(file.resize(size));
    return path;
}

TEST(SecondRedTeam, DetailsOpenOnlyRegularFilesOfBoundedSize)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe.gb");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    const struct {
        QString path;
        int code;
    } cases[] = {
        {fifo, IoError::NotRegularFile},
        {"/dev/zero", IoError::NotRegularFile},
        {dir.path(), IoError::NotRegularFile},
        {"/proc/self/pagemap", IoError::FileTooLarge},  // a regular file that claims terabytes
        {sparseFile(dir.filePath("sparse.gb"), qint64(1) << 30), IoError::FileTooLarge},
        {dir.filePath("sparse.gb") + QChar(0) + "../x.gb", IoError::FileNotFound},
        {dir.filePath(QString(5000, 'n')), IoError::FileNotFound},
    };
    for (const auto &c : cases) {
        try {
            vantorix::readCartridgeDetails(c.path);
            ADD_FAILURE() << "read " << c.path.left(60).toStdString();
        } catch (const IoError &error) {
            EXPECT_EQ(error.code(), c.code) << c.path.left(60).toStdString() << ": " << error.text().toStdString();
        }
    }
}

// A command's output that cannot be written fails it; names that would
// read as other names, or as several lines, are printed with "?".
TEST(SecondRedTeam, CommandOutputAndNamesThatFoolAReader)
{
    QTemporaryDir dir;
    const QString rom = writeFile(dir.filePath(QString::fromUtf8("RTL\u202EBG.EXE.gb")), romImage("ONE"));
    writeFile(dir.filePath(QString::fromUtf8("a\u2028b\u2029c.gb")), romImage("TWO"));
    const struct {
        QStringList arguments;
        bool toFullDisk;
        int status;
        QByteArray out;  // a text the output holds
        QByteArray err;  // a text standard error holds
    } cases[] = {
        {{"--scan", dir.path()}, false, 0, "(RTL?BG.EXE.GB)", ""},
        {{"--scan", dir.path()}, false, 0, " A?B?C.GB)", ""},
        {{"--info", rom}, false, 0, "File: " + QFile::encodeName(dir.path()) + "/RTL?BG.EXE.gb", ""},
        {{"--info", rom}, true, 1, "", "cannot be written"},
        {{"--scan", dir.path()}, true, 1, "", "cannot be written"},
        {{"--scan", ""}, false, 2, "", "--scan needs a folder name"},
    };
    for (const auto &c : cases) {
        QProcess process;
        if (c.toFullDisk)
            process.setStandardOutputFile("/dev/full");
        process.start(KELPAD_PATH, c.arguments);
        ASSERT_TRUE(process.waitForFinished(10000));
        const QString what = c.arguments.join(' ');
        EXPECT_EQ(process.exitCode(), c.status) << what.toStdString();
        EXPECT_TRUE(process.readAllStandardOutput().contains(c.out)) << what.toStdString() << " " << c.out.toStdString();
        EXPECT_TRUE(process.readAllStandardError().contains(c.err)) << what.toStdString() << " " << c.err.toStdString();
    }
}

// Saves the rename cannot finish are written in place once the new text
// is safely in the temporary file; stale temporaries of killed saves go.
TEST(SecondRedTeam, SavesFallBackToWritingInPlaceAndClearStaleTemporaries)
{
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                          | QFile::ExeOther);
    // A bind-mounted file, as a container or a sandbox hands one in.
    const QString source = writeFile(dir.filePath("outside.cfg"), "old");
    const QString mounted = writeFile(dir.filePath("inside/user.cfg"), "placeholder");
    const bool bound = ::mount(QFile::encodeName(source).constData(), QFile::encodeName(mounted).constData(),
                               nullptr, MS_BIND, nullptr) == 0;
    if (bound) {
        vantorix::writeFileAtomically(mounted, "saved through the mount");
        EXPECT_EQ(readFile(source), QByteArray("saved through the mount"));
        ::umount(QFile::encodeName(mounted).constData());
    }

    // Another user's world-writable file in a sticky folder.
    const QString sticky = dir.filePath("sticky");
    QDir().mkpath(sticky);
    ASSERT_EQ(::chmod(QFile::encodeName(sticky).constData(), 01777), 0);
    const QString shared = writeFile(sticky + "/shared.cfg", "old");
    ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 0666), 0);
    // Killed saves: one long ago, and one that may still be under way.
    const QString stale = writeFile(sticky + "/.vantorix-AbCdEf", QByteArray(100, 's'));
    const QString fresh = writeFile(sticky + "/.vantorix-GhIjKl", QByteArray(100, 'f'));
    for (const QString &temporary : {stale, fresh})
        ASSERT_EQ(::chown(QFile::encodeName(temporary).constData(), 65534, 65534), 0);
    const utimbuf longAgo{::time(nullptr) - 7200, ::time(nullptr) - 7200};
    ASSERT_EQ(::utime(QFile::encodeName(stale).constData(), &longAgo), 0);
    const int status = runUnprivileged([&] {
        try {
            vantorix::writeFileAtomically(shared, "saved by nobody");
        } catch (const IoError &) {
            return 1;
        }
        return 0;
    });
    if (status >= 0) {
        EXPECT_EQ(status, 0);
        EXPECT_EQ(readFile(shared), QByteArray("saved by nobody"));
        EXPECT_FALSE(QFile::exists(stale));
        EXPECT_TRUE(QFile::exists(fresh));
    }
}

}  // namespace
