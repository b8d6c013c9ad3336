#include "config/UserSettings.h"

#include "config/Configuration.h"

#include <QSettings>

namespace vantorix {

namespace {

constexpr const char *kNamesFromDatabases = "reader/namesFromDatabases";
constexpr const char *kIncludeSubfolders = "reader/includeSubfolders";
constexpr const char *kPictureRoots = "pictures/roots";
constexpr const char *kPictureDownloads = "pictures/download";

}  // namespace

QString UserSettings::defaultPath()
{
    const QString folder = userConfigurationFolder();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/settings.ini");
}

UserSettings::UserSettings(const QString &path) : path_(path) {}

bool UserSettings::value(const char *key, bool fallback) const
{
    if (path_.isEmpty())
        return fallback;
    const QSettings settings(path_, QSettings::IniFormat);
    const QVariant stored = settings.value(QLatin1String(key));
    // A value edited by hand into something else is no choice.
    return stored.isValid() && (stored.toString() == QLatin1String("true") || stored.toString() == QLatin1String("false"))
               ? stored.toBool()
               : fallback;
}

void UserSettings::setValue(const char *key, bool on)
{
    if (path_.isEmpty())
        return;
    // QSettings makes the folder, writes through a file of its own and
    // renames it over the old one; a folder that cannot be written leaves
    // the choice for this run only.
    QSettings settings(path_, QSettings::IniFormat);
    settings.setValue(QLatin1String(key), on);
}

bool UserSettings::namesFromDatabases() const
{
    return value(kNamesFromDatabases, false);
}

void UserSettings::setNamesFromDatabases(bool on)
{
    setValue(kNamesFromDatabases, on);
}

bool UserSettings::includeSubfolders() const
{
    return value(kIncludeSubfolders, false);
}

void UserSettings::setIncludeSubfolders(bool on)
{
    setValue(kIncludeSubfolders, on);
}

QStringList UserSettings::pictureRoots() const
{
    if (path_.isEmpty())
        return {};
    const QSettings settings(path_, QSettings::IniFormat);
    QStringList roots;
    for (const QString &root : settings.value(QLatin1String(kPictureRoots)).toStringList())
        if (root.startsWith(QLatin1Char('/')))
            roots.append(root);
    return roots;
}

void UserSettings::addPictureRoot(const QString &folder)
{
    if (path_.isEmpty())
        return;
    QStringList roots = pictureRoots();
    if (roots.contains(folder))
        return;
    roots.append(folder);
    QSettings settings(path_, QSettings::IniFormat);
    settings.setValue(QLatin1String(kPictureRoots), roots);
}

UserSettings::Downloads UserSettings::pictureDownloads() const
{
    if (path_.isEmpty() || !QSettings(path_, QSettings::IniFormat).contains(QLatin1String(kPictureDownloads)))
        return Downloads::NotAsked;
    return value(kPictureDownloads, false) ? Downloads::Allowed : Downloads::Refused;
}

void UserSettings::setPictureDownloads(bool allowed)
{
    setValue(kPictureDownloads, allowed);
}

}  // namespace vantorix
