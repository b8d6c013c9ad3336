#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

namespace vantorix {

// What the user chose in the windows and expects to find again at the next
// start, in a small file of its own beside the configurations:
// $XDG_CONFIG_HOME/vantorix/settings.ini. The configuration file keeps its
// format; a settings file that cannot be read means the defaults. Only a
// regular file is read. A choice that cannot be written (the file is no
// regular file, or another program holds its lock for long) holds until
// the program ends: each setter says whether it was written.
class UserSettings {
public:
    // Empty where there is no home folder: nothing is remembered.
    static QString defaultPath();

    explicit UserSettings(const QString &path = defaultPath());

    // The ROMS reader titles games with their names from the game
    // databases, and the game list follows the databases.
    bool namesFromDatabases() const;
    bool setNamesFromDatabases(bool on);
    // The ROMS reader lists the files of the subfolders too.
    bool includeSubfolders() const;
    bool setIncludeSubfolders(bool on);

    // Folders of game pictures the user added (a folder dropped on the
    // main window), in the order added.
    QStringList pictureRoots() const;
    bool addPictureRoot(const QString &folder);

    // Whether pictures may be downloaded: asked once, then remembered.
    enum class Downloads { NotAsked, Allowed, Refused };
    Downloads pictureDownloads() const;
    bool setPictureDownloads(bool allowed);
    // Whether the user said Download or Never to the game names' question
    // ("Not now" is kept by no one: it asks again at the next start).
    Downloads gameNameDownloads() const;
    bool setGameNameDownloads(bool allowed);

    // The regions a collector prefers first ("One per game"): empty where
    // the user set none (then the language's order holds).
    QStringList regionOrder() const;
    bool setRegionOrder(const QStringList &regions);
    // Battery saves are backed up after each play that changed them.
    bool backUpSaves() const;
    bool setBackUpSaves(bool on);

    // The library window's state (its size and place, splitter, view,
    // columns, cover size), by name.
    QVariant libraryState(const QString &name) const;
    bool setLibraryState(const QString &name, const QVariant &value);

    const QString &path() const { return path_; }

private:
    bool readable() const;
    QVariant stored(const char *key) const;
    bool value(const char *key, bool fallback) const;
    bool store(const char *key, const QVariant &value);
    bool setValue(const char *key, bool on);

    QString path_;
};

}  // namespace vantorix
