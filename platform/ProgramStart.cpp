#include "platform/ProgramStart.h"

#include "platform/FilePath.h"
#include "platform/ShownText.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace vantorix {

namespace {

QString cannotStart(const QString &program, const QString &reason)
{
    // A command of a megabyte is named by its start.
    return QCoreApplication::translate("ShellRunFile", "Cannot start \"%1\": %2").arg(shownText(program, 200), reason);
}

// Why a program text names nothing that can be started: a folder, a file
// without the right to run it, or nothing at all.
QString whyNotExecutable(const QString &program)
{
    QStringList candidates;
    if (program.contains(QLatin1Char('/'))) {
        candidates.append(program);
    } else {
        for (const QString &folder : qEnvironmentVariable("PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts)
                                         + QStringList{QStringLiteral("/usr/local/games"), QStringLiteral("/usr/games")})
            if (folder.startsWith(QLatin1Char('/')))
                candidates.append(folder + QLatin1Char('/') + program);
    }
    for (const QString &candidate : candidates) {
        const QFileInfo info(candidate);
        if (info.isDir())
            return QCoreApplication::translate("ShellRunFile", "is a folder");
        if (info.exists())
            return QCoreApplication::translate("ShellRunFile", "is not executable");
    }
    return QString::fromLocal8Bit(std::strerror(ENOENT));
}

// The launcher does not wait for the emulator, but reaps it when it ends,
// so that no finished emulator lingers as a zombie: its pidfd becomes
// readable then, on the event loop of the thread that started it (no
// thread of its own); a kernel without pidfds (before 5.3) is asked once
// a second.
void reapWhenEnded(pid_t child, std::function<void(qint64)> ended)
{
    // Kept by the application: one still running when the program ends
    // is let go with it.
    QObject *application = QCoreApplication::instance();
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    const auto done = [ended = std::move(ended), clock] {
        if (ended)
            ended(clock->elapsed());
    };
    const int pidfd = int(::syscall(SYS_pidfd_open, child, 0));
    if (pidfd >= 0) {
        auto *notifier = new QSocketNotifier(pidfd, QSocketNotifier::Read, application);
        QObject::connect(notifier, &QObject::destroyed, [pidfd] { ::close(pidfd); });
        QObject::connect(notifier, &QSocketNotifier::activated, notifier, [notifier, child, done] {
            while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
            }
            notifier->setEnabled(false);
            notifier->deleteLater();
            done();
        });
        return;
    }
    auto *poll = new QTimer(application);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, child, done] {
        if (::waitpid(child, nullptr, WNOHANG) != 0) {
            poll->stop();
            poll->deleteLater();
            done();
        }
    });
    poll->start(1000);
}

}  // namespace

QString findExecutable(const QString &program)
{
    if (program.isEmpty())
        return QString();
    if (program.contains(QLatin1Char('/'))) {
        const QFileInfo info(program);
        return info.isFile() && info.isExecutable() ? program : QString();
    }
    // Only absolute folders of PATH: ".", an empty entry or a relative
    // folder would run whatever lies in the current folder under that name.
    QStringList folders;
    for (const QString &folder : qEnvironmentVariable("PATH").split(QLatin1Char(':')))
        if (folder.startsWith(QLatin1Char('/')))
            folders.append(folder);
    const QString found = folders.isEmpty() ? QString() : QStandardPaths::findExecutable(program, folders);
    if (!found.isEmpty())
        return found;
    // Debian installs emulators in the games folders, which the PATH of a
    // desktop session started by root or a service may lack.
    return QStandardPaths::findExecutable(program, {QStringLiteral("/usr/local/games"),
                                                    QStringLiteral("/usr/games")});
}

QString spawnProgram(const QString &program, const QStringList &arguments, std::function<void(qint64)> ended)
{
    const QString executable = findExecutable(program);
    if (executable.isEmpty())
        return cannotStart(program, whyNotExecutable(program));
    // Spawned here rather than by QProcess, whose arguments are texts: a
    // file name that is not UTF-8 must reach the emulator byte for byte.
    std::vector<QByteArray> words{encodePath(executable)};
    for (const QString &argument : arguments)
        words.push_back(encodePath(argument));
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawnattr_init(&attributes);
    // Its own session (a Ctrl+C in the launcher's terminal is not the
    // emulator's), no signal blocked, every signal's handling the default.
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t child = 0;
    const int spawnError = ::posix_spawn(&child, argv.front(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (spawnError != 0)
        return cannotStart(program, QString::fromLocal8Bit(std::strerror(spawnError)));
    reapWhenEnded(child, std::move(ended));
    return QString();
}

}  // namespace vantorix

namespace vantorix {

bool isArgumentOfRunningProgram(const QString &path)
{
    const QByteArray wanted = encodePath(path);
    DIR *proc = ::opendir("/proc");
    if (!proc)
        return false;
    bool found = false;
    const uid_t me = ::getuid();
    while (!found) {
        const dirent *entry = ::readdir(proc);
        if (!entry)
            break;
        if (entry->d_name[0] < '1' || entry->d_name[0] > '9')
            continue;
        const QByteArray folder = QByteArray("/proc/") + entry->d_name;
        struct stat st;
        if (::stat(folder.constData(), &st) != 0 || st.st_uid != me)
            continue;
        const int fd = ::open((folder + "/cmdline").constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        QByteArray line(1 << 16, Qt::Uninitialized);
        const ssize_t got = ::read(fd, line.data(), size_t(line.size()));
        ::close(fd);
        if (got <= 0)
            continue;
        line.truncate(got);
        // The arguments, each ended by a zero byte; the program's own name
        // first is no argument.
        const QList<QByteArray> words = line.split('\0');
        for (qsizetype i = 1; i < words.size() && !found; ++i)
            found = words.at(i) == wanted;
    }
    ::closedir(proc);
    return found;
}

}  // namespace vantorix
