// Saves: the old file or the whole new one, never a cut one, whatever
// stands in the way of the rename; and only the program's own temporaries
// are ever cleaned away.
#include "platform/IoError.h"
#include "settings/TextFile.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

using namespace testing_support;
using vantorix::IoError;

namespace {

// Saves bytes at path as the user nobody: 0, 1 when the save failed, -1
// when nobody cannot be become.
int saveAsNobody(const QString &path, const QByteArray &bytes)
{
    return runUnprivileged([&] {
        try {
            vantorix::writeFileAtomically(path, bytes);
        } catch (const IoError &) {
            return 1;
        }
        return 0;
    });
}

QByteArray nameOf(const QString &path)
{
    return QFile::encodeName(path);
}

QStringList hiddenFiles(const QString &folder)
{
    return QDir(folder).entryList({".*"}, QDir::Files | QDir::Hidden);
}

// A file that a rename cannot replace is rewritten in place; on a full
// disk that rewrite leaves the old file whole and no temporary behind.
TEST(Saves, InPlaceOnAFullDiskKeepsTheOldFileWhole)
{
    QTemporaryDir dir;
    ASSERT_EQ(::chmod(nameOf(dir.path()).constData(), 0755), 0);
    const SmallTmpfs small(dir.filePath("small"));
    if (!small.mounted)
        GTEST_SKIP() << "cannot mount a small tmpfs here (not root?)";
    const QByteArray old(686, 'o');
    const QByteArray larger(33631, 'n');

    // A configuration bind-mounted from the full disk: the temporary is
    // written on a disk with room, the rename is refused (EBUSY).
    const QString source = writeFile(small.path + "/user.cfg", old);
    ASSERT_EQ(::chmod(nameOf(small.path).constData(), 0777), 0);
    const QString userFolder = writeFile(small.path + "/home/own.cfg", old).section('/', 0, -2);
    ASSERT_EQ(::chown(nameOf(userFolder + "/own.cfg").constData(), 65534, 65534), 0);
    small.fill();
    const QString inside = writeFile(dir.filePath("inside/user.cfg"), "placeholder");
    if (::mount(nameOf(source).constData(), nameOf(inside).constData(), nullptr, MS_BIND, nullptr) != 0)
        GTEST_SKIP() << "cannot bind-mount a file here";
    try {
        vantorix::writeFileAtomically(inside, larger);
        ADD_FAILURE() << "saved on a full disk";
    } catch (const IoError &error) {
        EXPECT_EQ(error.code(), IoError::DiskFull);
    }
    ::umount(nameOf(inside).constData());
    EXPECT_EQ(readFile(source), old);
    EXPECT_EQ(hiddenFiles(dir.filePath("inside")), QStringList());

    // An ordinary user's own file in a folder of root's on the full disk:
    // no temporary can be made, the file is rewritten in place.
    const int status = runUnprivileged([&] {
        try {
            vantorix::writeFileAtomically(userFolder + "/own.cfg", larger);
        } catch (const IoError &error) {
            return error.code() == IoError::DiskFull ? 0 : 2;
        }
        return 1;
    });
    if (status >= 0) {
        EXPECT_EQ(status, 0);
        EXPECT_EQ(readFile(userFolder + "/own.cfg"), old);
    }
}

// Saves the rename cannot finish are written in place once the new text
// is safely in the temporary file; stale temporaries of killed saves go,
// and nothing else that merely looks like one.
TEST(Saves, FallBackToWritingInPlaceAndClearOnlyTheirOwnStaleTemporaries)
{
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                          | QFile::ExeOther);
    // A bind-mounted file, as a container or a sandbox hands one in.
    const QString source = writeFile(dir.filePath("outside.cfg"), "old");
    const QString mounted = writeFile(dir.filePath("inside/user.cfg"), "placeholder");
    if (::mount(nameOf(source).constData(), nameOf(mounted).constData(), nullptr, MS_BIND, nullptr) == 0) {
        vantorix::writeFileAtomically(mounted, "saved through the mount");
        EXPECT_EQ(readFile(source), QByteArray("saved through the mount"));
        ::umount(nameOf(mounted).constData());
        EXPECT_EQ(hiddenFiles(dir.filePath("inside")), QStringList());
    }

    // Another user's world-writable file in a sticky folder.
    const QString sticky = dir.filePath("sticky");
    QDir().mkpath(sticky);
    ASSERT_EQ(::chmod(nameOf(sticky).constData(), 01777), 0);
    const QString shared = writeFile(sticky + "/shared.cfg", "old");
    ASSERT_EQ(::chmod(nameOf(shared).constData(), 0666), 0);
    const struct {
        const char *name;
        bool stale;    // written long ago
        bool removed;  // by the save's cleanup
    } neighbours[] = {
        {".vantorix-save-AbCdEf.tmp", true, true},    // a killed save
        {".vantorix-save-GhIjKl.tmp", false, false},  // one that may be under way
        {".vantorix-backup", true, false},             // the user's own files
        {".vantorix-notes1", true, false},
        {".vantorix-save-AbCdE.tmp", true, false},     // not the program's length
        {".vantorix-save-Ab-dEf.tmp", true, false},
        {".vantorix-save-AbCdEf.tmp~", true, false},
    };
    const utimbuf longAgo{::time(nullptr) - 7200, ::time(nullptr) - 7200};
    for (const auto &n : neighbours) {
        const QString path = writeFile(sticky + "/" + n.name, QByteArray(100, 's'));
        ASSERT_EQ(::chown(nameOf(path).constData(), 65534, 65534), 0);
        if (n.stale) {
            ASSERT_EQ(::utime(nameOf(path).constData(), &longAgo), 0);
        }
    }
    const int status = saveAsNobody(shared, "saved by nobody");
    if (status >= 0) {
        EXPECT_EQ(status, 0);
        EXPECT_EQ(readFile(shared), QByteArray("saved by nobody"));
        for (const auto &n : neighbours) {
            EXPECT_EQ(QFile::exists(sticky + "/" + n.name), !n.removed) << n.name;
        }
    }
}

TEST(Saves, OwnersFoldersWithoutWriteRightAndLongNames)
{
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                          | QFile::ExeOther);
    // Saved by root, another user's file stays theirs.
    const QString theirs = writeFile(dir.filePath("theirs.cfg"), "old");
    ASSERT_EQ(::chown(QFile::encodeName(theirs).constData(), 65534, 65534), 0);
    vantorix::writeFileAtomically(theirs, "new");
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(theirs).constData(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
    EXPECT_EQ(readFile(theirs), QByteArray("new"));

    // The user may write the file but not its folder: saved in place.
    const int status = saveAsNobody(theirs, "saved by its owner");
    if (status >= 0) {
        EXPECT_EQ(status, 0);
        EXPECT_EQ(readFile(theirs), QByteArray("saved by its owner"));
    }

    // A name of 250 characters leaves no room for a suffix.
    const QString longName = dir.filePath(QString(246, QLatin1Char('n')) + ".cfg");
    vantorix::writeFileAtomically(longName, "long");
    vantorix::writeFileAtomically(longName, "longer");
    EXPECT_EQ(readFile(longName), QByteArray("longer"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}


}  // namespace
