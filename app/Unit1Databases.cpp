// The game list following the game databases (names) and the disk (the
// missing marks), and what is dropped on the window to add to them.
#include "app/Unit1.h"

#include "reading/RomAdding.h"
#include "library/GameStart.h"
#include "library/LibraryChanges.h"
#include "library/LibraryStore.h"
#include "windows/LibraryWindow.h"
#include "reading/Catalogue.h"
#include "reading/DatabaseNames.h"
#include "pictures/GamePictures.h"
#include "reading/DetailToolTips.h"

#include "commands/CommandLine.h"
#include "settings/EmulatorCommand.h"
#include "widgets/ErrorBox.h"
#include "platform/FilePath.h"
#include "app/FmxUtils.h"
#include "app/Forms.h"
#include "rom/GameListEntry.h"
#include "rom/GamesFolder.h"
#include "platform/IoError.h"
#include "widgets/ListItemDelegate.h"
#include "widgets/PlainText.h"
#include "platform/Translations.h"
#include "widgets/WindowAnchors.h"
#include "settings/Configuration.h"
#include "names/GameDatabase.h"
#include "settings/ConfigurationFile.h"
#include "settings/FirstStart.h"
#include "settings/LastConfiguration.h"
#include "settings/UserSettings.h"
#include "platform/ShownText.h"
#include "platform/WholeFile.h"
#include "names/CartridgeDetails.h"
#include "names/StartableRom.h"
#include "catalogue/Unit3.h"
#include "windows/Unit2.h"
#include "widgets/DialogStyle.h"
#include "windows/Unit4.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <QCompleter>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QProcess>
#include <QFileDialog>
#include <QFontInfo>
#include <QRandomGenerator>
#include <QScreen>
#include <QShortcut>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QCloseEvent>
#include <QListView>
#include <QListWidget>
#include <QSignalBlocker>
#include <QMimeData>
#include <QShowEvent>
#include <QStyle>
#include <QUrl>

#include <QScopeGuard>

#include <cstdio>
#include <functional>
#include <limits>
#include <utility>

void TForm1::followDatabases()
{
    const quint64 serial = ++namingSerial_;
    if (!vantorix::UserSettings().namesFromDatabases())
        return;
    QStringList entries;
    for (int i = 0; i < ComboBox1->count(); ++i) {
        const QString entry = ComboBox1->itemText(i);
        if (!vantorix::isBlankEntry(entry) && !vantorix::isUserSelection(entry))
            entries.append(entry);
    }
    if (entries.isEmpty())
        return;
    vantorix::Catalogue &catalogue = catalogue_;
    const QString games = vantorix::storedText(Edit1);
    // A newer naming may be under way by the time these come back. Even
    // finding the files waits on the drive.
    catalogue.runThenHandBack(this, [&catalogue, entries, games] {
        QStringList files;
        for (const QString &entry : entries)
            files.append(vantorix::absolutePath(vantorix::resolveRomPath(games, vantorix::romFileName(entry))));
        const QHash<QString, QString> names = vantorix::databaseNamesOfFiles(catalogue, files, 0);
        QHash<QString, QString> renames;
        for (qsizetype i = 0; i < entries.size(); ++i) {
            const auto name = names.constFind(files.at(i));
            if (name == names.constEnd())
                continue;
            const QString renamed = vantorix::entryNamedAs(entries.at(i), *name);
            if (renamed != entries.at(i))
                renames.insert(entries.at(i), renamed);
        }
        return renames;
    }, [this, serial](const QHash<QString, QString> &renames) {
        if (namingSerial_ == serial && !renames.isEmpty())
            vantorix::atHandlerEdge([&] { renameEntries(renames); });
    });
}

void TForm1::renameEntries(const QHash<QString, QString> &renames)
{
    for (int i = 0; i < ComboBox1->count(); ++i) {
        const auto renamed = renames.constFind(ComboBox1->itemText(i));
        if (renamed != renames.constEnd())
            ComboBox1->setItemText(i, *renamed);
    }
    // What the file holds is named alike: the rename alone is no change to
    // save, and the next save writes the names shown.
    if (savedState_)
        for (QString &entry : savedState_->gameList)
            entry = renames.value(entry, entry);
    if (findField_ && findField_->isVisible())
        findGames(findField_->text());
}

void TForm1::markMissingGames()
{
    const QString directory = vantorix::storedText(Edit1);
    QStringList entries;
    for (int i = 0; i < ComboBox1->count(); ++i)
        entries.append(ComboBox1->itemText(i));
    // Up to 680 lookups on a drive that may answer slowly: made on the
    // executor, shown when done unless a newer marking was asked for.
    const quint64 serial = ++missingSerial_;
    catalogue_.runThenHandBack(
        this,
        [directory, entries] {
            const vantorix::GamesFolder games(directory);
            std::pair<bool, QStringList> found{games.exists(), {}};
            for (const QString &entry : entries) {
                QString missing;
                if (!vantorix::isBlankEntry(entry) && !vantorix::isUserSelection(entry)) {
                    // An entry imported from elsewhere names its file
                    // whole: it is found, or lost, whatever the directory.
                    const QString name = vantorix::romFileName(entry);
                    if ((games.exists() || name.startsWith(QLatin1Char('/'))) && games.find(name).isEmpty())
                        missing = vantorix::absolutePath(vantorix::joinRomPath(directory, name));
                }
                found.second.append(missing);
            }
            return found;
        },
        [this, serial, directory, entries](const std::pair<bool, QStringList> &found) {
            if (serial == missingSerial_)
                vantorix::atHandlerEdge([&] { showMissingGames(directory, found.first, entries, found.second); });
        });
}

void TForm1::showMissingGames(const QString &directory, bool folderExists, const QStringList &entries,
                              const QStringList &missingFiles)
{
    // An unmounted drive must not paint the whole list as lost: the
    // directory is marked instead of every entry.
    QPalette editColours = palette();
    if (!folderExists)
        editColours.setColor(QPalette::Text, QColor(160, 0, 0));
    Edit1->setPalette(editColours);
    Edit1->setToolTip(folderExists ? QString()
                                   : vantorix::plainToolTip(tr("Folder not found: ")
                                                            + vantorix::shownText(vantorix::displayPath(directory),
                                                                                  vantorix::kShownPathLength)));
    for (int i = 0; i < ComboBox1->count() && i < entries.size(); ++i) {
        if (ComboBox1->itemText(i) != entries.at(i))
            continue;  // changed meanwhile: its marking is on its way
        const QString &missing = missingFiles.at(i);
        const QString toolTip = missing.isEmpty() ? QString()
                                                  : tr("File not found: ")
                                                        + vantorix::shownText(vantorix::displayPath(missing),
                                                                              vantorix::kShownPathLength);
        // Marked anew only where the mark changes: an open list is not
        // disturbed (its tool-tip under way, say) by a marking that finds
        // what it found before.
        if (ComboBox1->itemData(i, Qt::ToolTipRole).toString() == toolTip)
            continue;
        ComboBox1->setItemData(i, missing.isEmpty() ? QVariant() : QVariant(QColor(Qt::gray)), Qt::ForegroundRole);
        // A mark that reads in light and dark styles alike.
        ComboBox1->setItemData(i, missing.isEmpty() ? QVariant() : QVariant(style()->standardIcon(QStyle::SP_MessageBoxWarning)),
                               Qt::DecorationRole);
        ComboBox1->setItemData(i, toolTip.isEmpty() ? QVariant() : QVariant(toolTip), Qt::ToolTipRole);
    }
}

void TForm1::addGameDatabase(const QString &path)
{
    // A DAT of 100 MB takes a while to read, copy and read again with the
    // others: the window is not kept waiting.
    catalogue_.addUserDatabaseInBackground(path, this, [this, path](const vantorix::Catalogue::AddedDatabase &added) {
        vantorix::atHandlerEdge([&] { tellDatabaseAdded(path, added); });
    });
}

void TForm1::tellDatabaseAdded(const QString &path, const vantorix::Catalogue::AddedDatabase &added)
{
    const QString &name = added.name;
    const int games = added.games;
    const int roms = added.roms;
    try {
        if (added.failure)
            std::rethrow_exception(added.failure);
    } catch (const vantorix::DatError &error) {
        vantorix::reportError(error.line() > 0 ? tr("Not a game database (line %1: %2)").arg(error.line()).arg(error.reason())
                                               : tr("Not a game database (%1)").arg(error.reason()),
                              path);
        return;
    } catch (const vantorix::IoError &error) {
        vantorix::reportError(error.text(), path);
        return;
    }
    // Several ROMs (versions, revisions) may make one game: both are said
    // where they differ.
    const QString counted = roms == games ? tr("%n game(s)", nullptr, games)
                                          : tr("%1 of %n game(s)", nullptr, games).arg(tr("%n ROM(s)", nullptr, roms));
    vantorix::showNotice(tr("Game database %1 added: %2").arg(name, counted));
}

void TForm1::addPictureFolder(const QString &path)
{
    const QString folder = vantorix::absolutePath(path);
    vantorix::UserSettings().addPictureRoot(folder);
    // Tool-tips looked for pictures before this folder was known.
    catalogue_.toolTips().clear();
    vantorix::showNotice(tr("Pictures of games added from %1").arg(vantorix::displayPath(folder)));
}
