#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace vantorix {

// A game's battery save where an emulator keeps it.
struct SaveFile {
    QString path;
    qint64 size = 0;
    QDateTime modified;
    QString emulator;  // who keeps saves there: "RetroArch", "mGBA", or empty beside the ROM
};

// Where emulators keep saves apart from the ROMs: RetroArch's saves folder
// (savefile_directory of its retroarch.cfg, by default saves/ beside it),
// with the subfolders it sorts them into by core, and mGBA's save folder
// where its configuration sets one.
struct SaveFolders {
    QString retroArch;
    QString mgba;
    // Read from the emulators' configurations now ($XDG_CONFIG_HOME, else
    // ~/.config).
    static SaveFolders ofUser();
};

// RetroArch's saves folder as its configuration's text sets it (configPath:
// the retroarch.cfg read).
QString retroArchSaveFolder(const QByteArray &config, const QString &configPath);
// mGBA's save folder as its config.ini sets it, empty where it sets none.
QString mgbaSaveFolder(const QByteArray &config);

// The saves of the ROMs at romPaths: NAME.sav, .srm and .rtc beside each
// (mGBA, VisualBoyAdvance, SameBoy, Gambatte), NAME.srm and .rtc in
// RetroArch's folder and its subfolders, NAME.sav in mGBA's. Each folder is
// listed once, and only the names found are looked at further.
using FoundSaves = QHash<QString, QList<SaveFile>>;
FoundSaves findSaves(const QStringList &romPaths, const SaveFolders &folders);
// The same over count ROMs given by their paths' own bytes (asked for as
// needed, once or twice each): found(i, saves) for each ROM that has any.
void findSaves(size_t count, const std::function<QByteArray(size_t)> &pathAt, const SaveFolders &folders,
               const std::function<void(size_t, const QList<SaveFile> &)> &found);

// $XDG_DATA_HOME/vantorix/saves/<game>: a game's backups, by its database
// name or title (made safe as a file name).
QString saveBackupFolder(const QString &game, const QString &root = QString());
// The backups of a game, oldest first ("2026-12-09 21.30.05 mGBA.sav").
QStringList saveBackups(const QString &game, const QString &root = QString());

// Copies the save into the game's backups as "<date time> <emulator>.<ext>"
// (atomically, never over another backup). Nothing is copied from an empty
// save, or one equal byte for byte to the game's latest backup of its kind:
// the path of the backup made, else empty. Throws IoError.
QString backUpSave(const SaveFile &save, const QString &game, const QString &emulator,
                   const QDateTime &when = QDateTime::currentDateTime(), const QString &root = QString());

// Puts a backup back as the save at savePath, the save there backed up
// first. Throws IoError; refused while the game runs (running).
void restoreSave(const QString &backup, const QString &savePath, const QString &game, const QString &emulator,
                 bool running, const QString &root = QString());

// The label of a game's emulator in a backup's name: the program of a
// slot's text ("mgba-qt"), or the place of the save.
QString emulatorLabel(const QString &emulatorText, const SaveFile &save);

}  // namespace vantorix
