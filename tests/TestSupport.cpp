#include "tests/TestSupport.h"

#include <QProcess>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

QString writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        ADD_FAILURE() << "cannot write " << path.toStdString();
    file.write(bytes);
    return path;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

QByteArray romImage(const QByteArray &title, qint64 size, qint64 titleOffset)
{
    QByteArray image(qMax(size, titleOffset + 16), '\0');
    image.replace(titleOffset, qMin<qsizetype>(title.size(), 16), title.left(16));
    image.resize(size);
    return image;
}

QStringList folderState(const QString &folder)
{
    QStringList state;
    for (const QFileInfo &info : QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                             | QDir::NoDotAndDotDot, QDir::Name))
        state.append(QStringLiteral("%1 %2 %3").arg(info.fileName()).arg(info.size())
                         .arg(info.lastModified().toMSecsSinceEpoch()));
    return state;
}

FifoWatch::FifoWatch(const QStringList &paths)
{
    for (const QString &path : paths) {
        EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        paths_.push_back(QFile::encodeName(path));
    }
    thread_ = std::thread([this] {
        while (!stop_) {
            for (const QByteArray &path : paths_) {
                const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    ++opened_;
                    ::close(fd);
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
}

FifoWatch::~FifoWatch()
{
    stop_ = true;
    thread_.join();
}

void createRaw(const QByteArray &path, const QByteArray &bytes)
{
    const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << path.constData();
    ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
    ::close(fd);
}

bool waitFor(const std::function<bool()> &done, int watchdogMs)
{
    QElapsedTimer watchdog;
    watchdog.start();
    while (!done()) {
        if (watchdog.elapsed() > watchdogMs)
            return done();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(1);
    }
    return true;
}

CurrentFolderGuard::CurrentFolderGuard() : saved_(QDir::currentPath()) {}

CurrentFolderGuard::~CurrentFolderGuard()
{
    QDir::setCurrent(saved_);
}

SmallTmpfs::SmallTmpfs(const QString &at) : path(at)
{
    QDir().mkpath(path);
    mounted = ::mount("vantorix-test", QFile::encodeName(path).constData(), "tmpfs", 0, "size=64k,mode=0755") == 0;
}

SmallTmpfs::~SmallTmpfs()
{
    if (mounted)
        ::umount2(QFile::encodeName(path).constData(), MNT_DETACH);
}

void SmallTmpfs::fill() const
{
    QFile filler(path + "/filler");
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
}

int runUnprivileged(const std::function<int()> &fn)
{
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(200);
        _exit(fn());
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);  // a crash is a result, not a skip
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 200)
        return -1;
    return WEXITSTATUS(status);
}

}  // namespace testing_support

namespace testing_support {

QString runKelpad(const QStringList &arguments, int *status, QString *errors)
{
    QProcess kelpad;
    kelpad.start(KELPAD_PATH, arguments);
    EXPECT_TRUE(kelpad.waitForFinished(60000));
    if (status)
        *status = kelpad.exitCode();
    if (errors)
        *errors = QString::fromUtf8(kelpad.readAllStandardError());
    return QString::fromUtf8(kelpad.readAllStandardOutput());
}

}  // namespace testing_support
