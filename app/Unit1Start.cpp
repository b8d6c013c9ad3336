// Starting games from the main window: the launch, a file dropped or chosen, the
// library's plays and its additions to the game list, and ROMs from a file
// manager; all through the one start of the core.
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

bool TForm1::playGame(const QString &path, int slot)
{
    if (slot == 0) {
        Label3->setText(tr("User selection: ") + vantorix::displayPath(path));
        launch(vantorix::absolutePath(path), true);
        return true;
    }
    return launchWith(slot, path);
}

QString TForm1::emulatorOfSlot(int slot) const
{
    QRadioButton *const slots[] = {RadioButton1, RadioButton2, RadioButton3};
    return vantorix::storedText(slots[qBound(0, slot - 1, 2)]);
}

bool TForm1::isGameRunning(const QString &path) const
{
    return starter_->isRunning(vantorix::absolutePath(path));
}

void TForm1::addGamesToList(const QStringList &paths)
{
    const QString games = vantorix::storedText(Edit1);
    vantorix::Catalogue *names = vantorix::UserSettings().namesFromDatabases() ? &catalogue_ : nullptr;
    const QStringList items = vantorix::listItems(ComboBox1);
    QList<vantorix::GameToAdd> wanted;
    for (const QString &path : paths)
        wanted.append({path, QString()});
    catalogue_.runThenHandBack(
        this,
        [items, games, wanted, names] {
            return vantorix::prepareGameListAddition(items, games, wanted, names, vantorix::kPlaylistLimit);
        },
        [this](const vantorix::GameListAddition &addition) {
            vantorix::atHandlerEdge([&] {
                QStringList refused = addition.refused;
                int over = addition.overLimit;
                for (const QString &entry : addition.entries) {
                    if (ComboBox1->count() >= vantorix::kPlaylistLimit) {
                        ++over;  // the list filled meanwhile
                        continue;
                    }
                    ComboBox1->addItem(entry);
                }
                if (!addition.entries.isEmpty())
                    markMissingGames();
                if (over > 0)
                    refused.prepend(tr("MAX ROMS: %1").arg(vantorix::kPlaylistLimit));
                if (!refused.isEmpty())
                    vantorix::reportError(refused.join(QLatin1Char('\n')));
            });
        });
}

bool TForm1::launchWith(int slot, const QString &path)
{
    QLineEdit *const emulators[] = {Edit2, Edit3, Edit4};
    slot = qBound(1, slot, 3);
    const vantorix::StartFailure failure = starter_->start(path, vantorix::storedText(emulators[slot - 1]), slot);
    if (!failure.started())
        vantorix::reportError(failure.text, failure.about);
    return failure.started();
}

int TForm1::checkedSlot() const
{
    return RadioButton1->isChecked() ? 1 : RadioButton3->isChecked() ? 3 : 2;
}

bool TForm1::startRoms(const QStringList &roms)
{
    const QString config = vantorix::startConfigurationFile();
    vantorix::Configuration settings;
    if (!config.isEmpty()) {
        try {
            settings = vantorix::readConfigurationFile(config);
        } catch (const vantorix::IoError &error) {
            romsNotStarted_.append(vantorix::displayPath(config) + QStringLiteral(": ") + error.text());
        }
    }
    // The slot the main window checks at start.
    const QString emulator = settings.executables[1];
    QStringList reasons;
    QString firstFailed;
    const QString firstRom = vantorix::absolutePath(roms.constFirst());
    for (const QString &rom : roms) {
        const QString path = rom == roms.constFirst() ? firstRom : vantorix::absolutePath(rom);
        const vantorix::StartFailure failure = starter_->start(path, emulator, 2);
        if (failure.started()) {
            vantorix::rememberLastPlayedRom(path);
            continue;
        }
        const QString reason = failure.text.isEmpty() || emulator.isEmpty()
                                   ? tr("No emulator is set in slot 2 of the configuration")
                                   : failure.text;
        reasons.append(vantorix::shownText(vantorix::displayPath(path), vantorix::kShownPathLength)
                       + QStringLiteral(": ") + reason);
        if (firstFailed.isEmpty())
            firstFailed = path;
    }
    if (reasons.isEmpty() && romsNotStarted_.isEmpty())
        return true;
    romsNotStarted_ = QStringList(firstFailed.isEmpty() ? firstRom : firstFailed) + romsNotStarted_ + reasons;
    startupFile_ = config;
    return false;
}

void TForm1::openRomFile()
{
    OpenDialog2->setDirectory(vantorix::storedText(Edit1));
    if (execFileDialog(OpenDialog2) != QDialog::Accepted || OpenDialog2->selectedFiles().isEmpty())
        return;
    launchFile(OpenDialog2->selectedFiles().constFirst());
}

void TForm1::launchFile(const QString &path)
{
    if (path.isEmpty())
        return;
    Label3->setText(tr("User selection: ") + vantorix::displayPath(path));
    launch(vantorix::absolutePath(path));
}

void TForm1::Label8Click(QObject *)
{
    const QString entry = ComboBox1->currentText();
    // Nothing chosen yet, or a blank entry: there is no ROM to start.
    if (vantorix::isBlankEntry(entry))
        return;
    romKey_ = vantorix::ExtractRomKey(entry);
    if (vantorix::isUserSelection(entry)) {
        OpenDialog2->setDirectory(vantorix::storedText(Edit1));
        const int answer = execFileDialog(OpenDialog2);
        if (answer != QDialog::Accepted || OpenDialog2->selectedFiles().isEmpty())
            return;
        const QString chosen = OpenDialog2->selectedFiles().constFirst();
        if (chosen.isEmpty())
            return;
        Label3->setText(tr("User selection: ") + chosen);
        launch(chosen);
        return;
    }
    // A name holding a NUL names no file; cut there it would name another.
    if (vantorix::romFileName(entry).contains(QChar(0))) {
        vantorix::reportError(tr("The game's file name holds a NUL character and names no file"));
        return;
    }
    // Only the file the entry stands for, found as the missing marks find
    // it: a game marked missing (or named with "..") is not started.
    const QString directory = vantorix::storedText(Edit1);
    const QString name = vantorix::romFileName(entry);
    const QString found = vantorix::GamesFolder(directory).find(name);
    if (found.isEmpty()) {
        vantorix::reportError(tr("File not found: ")
                              + vantorix::shownText(vantorix::displayPath(vantorix::absolutePath(
                                                        vantorix::joinRomPath(directory, name))),
                                                    vantorix::kShownPathLength));
        return;
    }
    // The emulator gets an absolute path: a ROM named "-o.gb" must never
    // reach it as an option.
    launch(vantorix::absolutePath(found));
}

void TForm1::launch(const QString &romPath, bool sayEmptySlot)
{
    const int slot = checkedSlot();
    QLineEdit *const emulators[] = {Edit2, Edit3, Edit4};
    const QString emulator = vantorix::storedText(emulators[slot - 1]);
    // The launch link with no emulator set starts nothing and says nothing,
    // as it always did; the library, whose user sees no slot, is told why.
    if (emulator.isEmpty() && !sayEmptySlot)
        return;
    const vantorix::StartFailure failure = starter_->start(romPath, emulator, slot);
    if (!failure.started())
        vantorix::reportError(failure.text, failure.about);
}
