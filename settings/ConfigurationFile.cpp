#include "settings/ConfigurationFile.h"

#include "settings/TextFile.h"
#include "platform/FileDescriptor.h"
#include "platform/FilePath.h"
#include "platform/IoError.h"
#include "platform/WholeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QThread>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vantorix {

namespace {

const QString kCommentStart = QStringLiteral("## ");
// The lines after the first that every configuration has as comments.
constexpr int kHeaderLines[] = {5, 9};

// The program's own state folder, where the locks lie in "locks".
QString stateFolder()
{
    return xdgUserFolder("XDG_STATE_HOME", QStringLiteral(".local/state")) + QStringLiteral("/vantorix");
}

IoError notConfiguration()
{
    return IoError(IoError::NotConfiguration,
                   QCoreApplication::translate("IoError", "Not a configuration file"));
}

}  // namespace

bool isConfigurationText(const QByteArray &bytes)
{
    TextFileReader reader(bytes);
    if (!reader.readLine().startsWith(kCommentStart))
        return false;
    int line = 1;
    for (const int header : kHeaderLines) {
        for (; line < header - 1; ++line)
            reader.readLine();
        if (reader.atEnd())
            return true;
        ++line;
        if (!reader.readLine().startsWith(kCommentStart))
            return false;
    }
    return true;
}

bool beginsAsConfiguration(const QString &path)
{
    const std::optional<QByteArray> head = headOfRegularFile(path, 64 * 1024);
    return head && isConfigurationText(*head);
}

Configuration readConfigurationFile(const QString &path)
{
    const QByteArray bytes = readWholeFile(path);
    if (!isConfigurationText(bytes))
        throw notConfiguration();
    return parseConfiguration(bytes);
}

void writeConfigurationFile(const QString &path, const Configuration &config)
{
    // The file there is read through any link, as the save writes through
    // it: what is written over is what is looked at.
    struct stat st;
    if (::stat(encodePath(path).constData(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0
        && !isConfigurationText(readWholeFile(path)))
        throw notConfiguration();
    writeFileAtomically(path, serializeConfiguration(config));
}

QString ConfigurationLock::lockFileOf(const QString &configPath)
{
    // One file, one lock, whether it is there yet or not: a link and the
    // file it names share one (the file's real path), and so do every
    // spelling of a folder before the file is made (the folder's real path
    // and the name).
    const QByteArray path = encodePath(QDir::cleanPath(absolutePath(configPath)));
    QByteArray real = path;
    char resolved[PATH_MAX];
    if (::realpath(path.constData(), resolved)) {
        real = resolved;
    } else {
        const qsizetype slash = path.lastIndexOf('/');
        const QByteArray folder = slash <= 0 ? QByteArray("/") : path.left(slash);
        if (::realpath(folder.constData(), resolved))
            real = (QByteArray(resolved) == "/" ? QByteArray() : QByteArray(resolved)) + path.mid(slash);
    }
    const QByteArray name = QCryptographicHash::hash(real, QCryptographicHash::Sha1).toHex();
    return stateFolder() + QStringLiteral("/locks/") + QString::fromLatin1(name) + QStringLiteral(".lock");
}

ConfigurationLock::ConfigurationLock(const QString &configPath, int waitMs)
{
    const QString file = lockFileOf(configPath);
    // The lock is a help, never a precondition: where its folder or file
    // cannot be made (a read-only home), the change goes on without it.
    try {
        makeOwnFolders(stateFolder(), QStringLiteral("locks"));
    } catch (const IoError &) {
        return;
    }
    const QByteArray name = encodePath(file);
    fd_ = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd_ < 0 && errno == ELOOP) {
        // A link where the lock belongs is set aside, never followed.
        ::unlink(name.constData());
        fd_ = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    }
    if (fd_ < 0)
        return;
    const QDeadlineTimer deadline(waitMs);
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || deadline.hasExpired()) {
            ::close(fd_);
            fd_ = -1;
            throw IoError(IoError::AccessDenied, QCoreApplication::translate(
                                                     "IoError", "The file is being changed by another program"));
        }
        QThread::msleep(5);
    }
}

ConfigurationLock::~ConfigurationLock()
{
    if (fd_ >= 0)
        ::close(fd_);  // the lock goes with the descriptor
}

}  // namespace vantorix
