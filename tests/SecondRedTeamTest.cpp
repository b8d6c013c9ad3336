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

}  // namespace
