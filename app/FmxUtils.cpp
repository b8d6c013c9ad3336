#include "app/FmxUtils.h"

#include "widgets/ErrorBox.h"
#include "platform/FilePath.h"
#include "widgets/PlainText.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QSocketNotifier>
#include <QTimer>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QUrl>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace vantorix {

namespace {

QRandomGenerator &generator()
{
    static QRandomGenerator instance;
    return instance;
}

bool looksLikeUrl(const QString &text)
{
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon < 2)
        return false;
    for (qsizetype i = 0; i < colon; ++i) {
        const QChar c = text.at(i);
        if (!(c.isLetterOrNumber() || c == QLatin1Char('+') || c == QLatin1Char('-') || c == QLatin1Char('.')))
            return false;
    }
    return text.at(0).isLetter();
}

bool reportCannotStart(const QString &program, const QString &reason, QString *failure)
{
    // A command of a megabyte is named by its start.
    const QString text = QCoreApplication::translate("ShellRunFile", "Cannot start \"%1\": %2").arg(shownText(program, 200), reason);
    if (failure)
        *failure = text;
    else
        reportError(text);
    return false;
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
void reapWhenEnded(pid_t child)
{
    // Kept by the application: one still running when the program ends
    // is let go with it.
    QObject *application = QCoreApplication::instance();
    const int pidfd = int(::syscall(SYS_pidfd_open, child, 0));
    if (pidfd >= 0) {
        auto *ended = new QSocketNotifier(pidfd, QSocketNotifier::Read, application);
        QObject::connect(ended, &QObject::destroyed, [pidfd] { ::close(pidfd); });
        QObject::connect(ended, &QSocketNotifier::activated, ended, [ended, child] {
            while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
            }
            ended->setEnabled(false);
            ended->deleteLater();
        });
        return;
    }
    auto *poll = new QTimer(application);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, child] {
        if (::waitpid(child, nullptr, WNOHANG) != 0) {
            poll->stop();
            poll->deleteLater();
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

bool startProgram(const QString &program, const QStringList &arguments, QString *failure)
{
    const QString executable = findExecutable(program);
    if (executable.isEmpty())
        return reportCannotStart(program, whyNotExecutable(program), failure);
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
        return reportCannotStart(program, QString::fromLocal8Bit(std::strerror(spawnError)), failure);
    reapWhenEnded(child);
    return true;
}

void seedRandomGenerator()
{
    generator().seed(quint32(QDateTime::currentMSecsSinceEpoch()));
}

int randomBelow(int bound)
{
    return int(generator().bounded(bound));
}

}  // namespace vantorix

bool ShellRunFile(const QString &program, const QString &parameters, const QString &folder, int)
{
    if (program.isEmpty())
        return false;
    const QString executable = vantorix::findExecutable(program);
    if (!executable.isEmpty()) {
        QProcess process;
        process.setProgram(executable);
        if (!parameters.isEmpty())
            process.setArguments({parameters});
        if (!folder.isEmpty())
            process.setWorkingDirectory(folder);
        process.setStandardInputFile(QProcess::nullDevice());
        if (!process.startDetached())
            return vantorix::reportCannotStart(program, process.errorString(), nullptr);
        return true;
    }
    const QFileInfo info(program);
    QUrl url;
    if (info.exists())
        url = QUrl::fromLocalFile(info.absoluteFilePath());
    else if (vantorix::looksLikeUrl(program))
        url = QUrl(program);
    if (!url.isValid() || url.isEmpty())
        return vantorix::reportCannotStart(program, QString::fromLocal8Bit(std::strerror(ENOENT)), nullptr);
    if (!QDesktopServices::openUrl(url))
        return vantorix::reportCannotStart(program, QCoreApplication::translate("ShellRunFile", "No application is set to open it"), nullptr);
    return true;
}
