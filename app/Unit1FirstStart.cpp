// The main window's first showing: the configuration given or last used, the
// first start's samples and emulators, and the load dialog's offer.
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

void TForm1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (shown_ || event->spontaneous())
        return;
    shown_ = true;
    vantorix::centreOnScreen(this);
    // The start's dialog or message opens over the window, once the window
    // is on the screen; a desktop that never shows it waits a moment only.
    if (QWindow *shownWindow = windowHandle())
        shownWindow->installEventFilter(this);
    QTimer::singleShot(kLongestWaitForScreenMs, this, [this] { startOnce(); });
}

void TForm1::startOnce()
{
    if (started_)
        return;
    started_ = true;
    vantorix::atHandlerEdge([this] { FormShow(this); });
}

void TForm1::FormShow(QObject *)
{
    vantorix::seedRandomGenerator();
    takeSavedState(QString());  // nothing loaded yet: nothing to lose
    if (!startupFile_.isEmpty())
        loadConfigurationFile(startupFile_);
    if (!romsNotStarted_.isEmpty()) {
        // Started from outside and failed: the game chosen, the reason said.
        selectRomFile(romsNotStarted_.constFirst(), true);
        vantorix::reportError(std::exchange(romsNotStarted_, {}).join(QLatin1Char('\n')));
        return;
    }
    if (!startupFile_.isEmpty()) {
        selectRomFile(vantorix::lastPlayedRom(), false);
        return;
    }
    const QString folder = initialDialogFolder();
    if (folder != vantorix::userConfigurationFolder() || !vantorix::isFirstStart(folder)) {
        if (opensLibrary_) {
            // The library is what was asked for: the last configuration
            // comes without a question.
            const QString last = vantorix::lastConfigurationFile();
            if (!last.isEmpty() && vantorix::isRegularFile(last))
                loadConfigurationFile(last);
            selectRomFile(vantorix::lastPlayedRom(), false);
            showLibrary();
            return;
        }
        offerConfiguration(QString());
        return;
    }
    // The first start copies the sample games and asks the system for its
    // emulators (a flatpak that never answers is waited for 3 s): done on
    // the executor, the load dialog after it.
    catalogue_.runThenHandBack(
        this, [folder] { return prepareFirstStart(folder); },
        [this](const QString &written) {
            vantorix::atHandlerEdge([&] {
                if (!opensLibrary_) {
                    offerConfiguration(written);
                    return;
                }
                if (!written.isEmpty())
                    loadConfigurationFile(written);
                showLibrary();
            });
        });
}

void TForm1::offerConfiguration(const QString &firstStartFile)
{
    // Every start checks slot 2, the first start's preferred emulator's.
    proposedFile_ = firstStartFile.isEmpty() ? vantorix::lastConfigurationFile()  // Return loads it again
                                             : firstStartFile;
    Button4Click(this);
    // The game last started from outside is the one chosen.
    selectRomFile(vantorix::lastPlayedRom(), false);
}

QString TForm1::prepareFirstStart(const QString &folder)
{
    const QString data = vantorix::commandFolder() + QStringLiteral("/../share/vantorix");
    const QString samples = QDir(data + QStringLiteral("/roms")).exists()
                                ? QDir(data + QStringLiteral("/roms")).canonicalPath()
                                : QString();
    // The installed samples cannot be written: an emulator could not keep
    // a game's saves beside it. The user's own copy is played instead,
    // where one can be made.
    QString games = vantorix::copySampleGames(samples, vantorix::userGamesFolder());
    if (games.isEmpty())
        games = samples;
    const vantorix::MachineProbe probe{
        [](const QString &program) { return vantorix::findExecutable(program); },
        [](const QString &path) { return QFileInfo::exists(path); },
        [](const QString &program, const QStringList &arguments) {
            QProcess process;
            process.start(program, arguments);
            return process.waitForFinished(3000) && process.exitStatus() == QProcess::NormalExit
                   && process.exitCode() == 0;
        },
    };
    // Writes only into a folder without a configuration, and says nothing
    // when it cannot.
    const QString written = vantorix::writeFirstStartConfiguration(
        folder, vantorix::firstStartConfiguration(vantorix::findEmulators(probe), vantorix::bundledInterfaceFile(), games));
    // The library is never empty at first: it lists the sample games,
    // until the user adds a folder of their own.
    if (!written.isEmpty() && !games.isEmpty()) {
        try {
            vantorix::LibraryStore::addFolders({games}, vantorix::LibraryStore::defaultPath(), true);
        } catch (const vantorix::IoError &) {
        }
    }
    return written;
}
