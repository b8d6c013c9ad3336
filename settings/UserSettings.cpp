#include "settings/UserSettings.h"

#include "settings/Configuration.h"
#include "platform/FilePath.h"
#include "platform/IoError.h"

#include <QHash>
#include <QLockFile>
#include <QSettings>

#include <cerrno>
#include <mutex>
#include <sys/stat.h>

namespace vantorix {

namespace {

constexpr const char *kNamesFromDatabases = "reader/namesFromDatabases";
constexpr const char *kIncludeSubfolders = "reader/includeSubfolders";
constexpr const char *kPictureRoots = "pictures/roots";
constexpr const char *kPictureDownloads = "pictures/download";

// How long a change waits for another program's lock of the file (QSettings
// itself would wait for ever, even for a stale lock that is a folder).
constexpr int kLockWaitMs = 500;

// Choices that could not be written: they hold until the program ends.
struct HeldChoices {
    std::mutex mutex;
    QHash<QString, QVariant> values;  // by file and key
};

HeldChoices &heldChoices()
{
    static HeldChoices held;
    return held;
}

QString heldKey(const QString &path, const char *key)
{
    return path + QLatin1Char('\n') + QLatin1String(key);
}

}  // namespace

QString UserSettings::defaultPath()
{
    const QString folder = userConfigurationFolder();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/settings.ini");
}

UserSettings::UserSettings(const QString &path) : path_(path) {}

bool UserSettings::readable() const
{
    // Only a regular file is read: a FIFO there would never answer.
    struct stat st;
    return !path_.isEmpty() && ::stat(encodePath(path_).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

QVariant UserSettings::stored(const char *key) const
{
    if (path_.isEmpty())
        return QVariant();
    {
        HeldChoices &held = heldChoices();
        const std::lock_guard<std::mutex> lock(held.mutex);
        const auto found = held.values.constFind(heldKey(path_, key));
        if (found != held.values.constEnd())
            return *found;
    }
    if (!readable())
        return QVariant();
    return QSettings(path_, QSettings::IniFormat).value(QLatin1String(key));
}

bool UserSettings::value(const char *key, bool fallback) const
{
    const QVariant stored = this->stored(key);
    // A value edited by hand into something else is no choice.
    return stored.isValid() && (stored.toString() == QLatin1String("true") || stored.toString() == QLatin1String("false"))
               ? stored.toBool()
               : fallback;
}

bool UserSettings::store(const char *key, const QVariant &value)
{
    if (path_.isEmpty())
        return false;
    // QSettings makes the folder, writes through a file of its own and
    // renames it over the old one, under a lock it waits for without end:
    // the lock is tried here first, for a while only.
    struct stat st;
    const bool absent = ::stat(encodePath(path_).constData(), &st) != 0 && errno == ENOENT;
    bool written = false;
    if (absent) {
        try {
            makeFolders(path_.left(path_.lastIndexOf(QLatin1Char('/'))));
        } catch (const IoError &) {
        }
    }
    if (absent || readable()) {
        QLockFile probe(path_ + QStringLiteral(".lock"));
        if (probe.tryLock(kLockWaitMs)) {
            probe.unlock();
            QSettings settings(path_, QSettings::IniFormat);
            settings.setValue(QLatin1String(key), value);
            settings.sync();
            written = settings.status() == QSettings::NoError;
        }
    }
    HeldChoices &held = heldChoices();
    const std::lock_guard<std::mutex> lock(held.mutex);
    if (written)
        held.values.remove(heldKey(path_, key));
    else
        held.values.insert(heldKey(path_, key), value);
    return written;
}

bool UserSettings::setValue(const char *key, bool on)
{
    return store(key, on);
}

bool UserSettings::namesFromDatabases() const
{
    return value(kNamesFromDatabases, false);
}

bool UserSettings::setNamesFromDatabases(bool on)
{
    return setValue(kNamesFromDatabases, on);
}

bool UserSettings::includeSubfolders() const
{
    return value(kIncludeSubfolders, false);
}

bool UserSettings::setIncludeSubfolders(bool on)
{
    return setValue(kIncludeSubfolders, on);
}

QStringList UserSettings::pictureRoots() const
{
    QStringList roots;
    for (const QString &root : stored(kPictureRoots).toStringList())
        if (root.startsWith(QLatin1Char('/')))
            roots.append(root);
    return roots;
}

bool UserSettings::addPictureRoot(const QString &folder)
{
    QStringList roots = pictureRoots();
    if (roots.contains(folder))
        return true;
    roots.append(folder);
    return store(kPictureRoots, roots);
}

UserSettings::Downloads UserSettings::pictureDownloads() const
{
    if (!stored(kPictureDownloads).isValid())
        return Downloads::NotAsked;
    return value(kPictureDownloads, false) ? Downloads::Allowed : Downloads::Refused;
}

bool UserSettings::setPictureDownloads(bool allowed)
{
    return setValue(kPictureDownloads, allowed);
}

UserSettings::Downloads UserSettings::gameNameDownloads() const
{
    const char *key = "gameNames/download";
    if (!stored(key).isValid())
        return Downloads::NotAsked;
    return value(key, false) ? Downloads::Allowed : Downloads::Refused;
}

bool UserSettings::setGameNameDownloads(bool allowed)
{
    return setValue("gameNames/download", allowed);
}

QStringList UserSettings::regionOrder() const
{
    QStringList regions;
    for (const QString &region : stored("library/regionOrder").toStringList())
        if (!region.trimmed().isEmpty())
            regions.append(region.trimmed());
    return regions;
}

bool UserSettings::setRegionOrder(const QStringList &regions)
{
    return store("library/regionOrder", regions);
}

bool UserSettings::backUpSaves() const
{
    return value("library/backUpSaves", true);
}

bool UserSettings::setBackUpSaves(bool on)
{
    return setValue("library/backUpSaves", on);
}

QVariant UserSettings::libraryState(const QString &name) const
{
    return stored(QStringLiteral("library/%1").arg(name).toLatin1().constData());
}

bool UserSettings::setLibraryState(const QString &name, const QVariant &value)
{
    return store(QStringLiteral("library/%1").arg(name).toLatin1().constData(), value);
}

}  // namespace vantorix
