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

namespace {

// Qt's filter lists read the patterns between parentheses; "*.*" on the
// program's original platform meant every file, so it is written "*" here.
QStringList nameFilters(const QString &filterText)
{
    QStringList filters;
    const QStringList parts = filterText.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts.at(i);
        if (parts.at(i + 1) == QLatin1String("*.*"))
            description.replace(QLatin1String("(*.*)"), QLatin1String("(*)"));
        filters.append(description);
    }
    return filters;
}

QFileDialog *makeDialog(QWidget *parent, const char *name, QFileDialog::AcceptMode mode,
                        const QString &suffix, const QString &filterText)
{
    auto *dialog = new QFileDialog(parent);
    dialog->setObjectName(QString::fromLatin1(name));
    dialog->setAcceptMode(mode);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setDefaultSuffix(suffix);
    dialog->setNameFilters(nameFilters(filterText));
    dialog->setWindowModality(Qt::ApplicationModal);
    return dialog;
}

}  // namespace

TForm1::TForm1(vantorix::Catalogue &catalogue, QWidget *parent)
    : QWidget(parent),
      catalogue_(catalogue),
      libraryChanges_(new vantorix::LibraryChanges(catalogue, vantorix::LibraryStore::defaultPath(), this)),
      starter_(new vantorix::GameStarter(*libraryChanges_, this))
{
    setupUi(this);
    setWindowTitle(windowTitle().arg(vantorix::shownVersion()));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // Wider shows longer names and paths; nothing grows down.
    resize(590, 338);
    auto *anchors = new WindowAnchors(this, false);
    anchors->anchor(Label1, {0.5, 0, 0, 0});
    for (QWidget *right : std::initializer_list<QWidget *>{Label6, Label8, Label7, Label9})
        anchors->anchor(right, WindowAnchors::kFollowRight);
    for (QWidget *wide : std::initializer_list<QWidget *>{Label2, ComboBox1, Label3, Label5, Edit1, GroupBox2, Edit2,
                                                         Edit3, Edit4})
        anchors->anchor(wide, WindowAnchors::kGrowAcross);
    vantorix::makeLabelsPlain(this);
    // No field cuts a value: paths of any length load and save whole.
    for (QLineEdit *edit : {Edit1, Edit2, Edit3, Edit4})
        edit->setMaxLength(std::numeric_limits<int>::max());

    // Impact is a heavy face by itself; its stand-ins need the bold weight.
    if (QFontInfo(Label1->font()).family().compare(QLatin1String("Impact"), Qt::CaseInsensitive) != 0) {
        QFont title = Label1->font();
        title.setBold(true);
        Label1->setFont(title);
    }

    const QString configFilter = tr("Config files (*.cfg *.ini)|*.cfg *.ini|All files (*.*)|*.*");
    OpenDialog = makeDialog(this, "OpenDialog", QFileDialog::AcceptOpen, QStringLiteral("cfg"), configFilter);
    SaveDialog = makeDialog(this, "SaveDialog", QFileDialog::AcceptSave, QStringLiteral("cfg"), configFilter);
    SaveDialog->selectFile(QStringLiteral("user"));
    OpenDialog2 = makeDialog(this, "OpenDialog2", QFileDialog::AcceptOpen, QStringLiteral("gb"),
                             tr("Gameboy ROMS (*.gb)|*.gb|Gameboy Color ROMS (*.gbc)|*.gbc|"
                                "All files (*.*)|*.*"));
    OpenDialog2->setFileMode(QFileDialog::ExistingFile);
    // A typed name of no file is refused by the dialog itself, saying so.
    OpenDialog->setFileMode(QFileDialog::ExistingFile);
    setAcceptDrops(true);

    connect(ComboBox1, qOverload<int>(&QComboBox::activated), this, vantorix::guarded([this] { ComboBox1Change(ComboBox1); }));
    connect(ComboBox1, &GameListBox::launchRequested, this, vantorix::guarded([this] {
        if (Label8->isEnabled())
            Label8Click(ComboBox1);
    }));
    addShortcuts();
    showKeysInHints();
    ComboBox1->delegate()->setToolTipSource([this](const QModelIndex &index) {
        return ItemToolTip{QString(), entryFile(index.data().toString())};
    });
    ComboBox1->delegate()->setDetails(&catalogue);
    catalogue.watchUserDatabases();
    connect(&catalogue, &vantorix::Catalogue::databasesChanged, this, vantorix::guarded([this] { followDatabases(); }));
    connect(Edit1, &QLineEdit::editingFinished, this, vantorix::guarded([this] { markMissingGames(); }));
    // The missing mark fits the list's fixed rows.
    ComboBox1->setIconSize(QSize(12, 12));
    // Nothing is chosen at start: the launch waits for a choice.
    noSelectionText_ = Label3->text();
    Label8->setEnabled(false);
    connect(Label8, &LinkLabel::clicked, this, vantorix::guarded([this] { Label8Click(Label8); }));
    connect(Label6, &LinkLabel::clicked, this, vantorix::guarded([this] { Label6Click(Label6); }));
    connect(Button5, &QToolButton::clicked, this, vantorix::guarded([this] { Button5Click(Button5); }));
    connect(Button3, &QToolButton::clicked, this, vantorix::guarded([this] { Button3Click(Button3); }));
    connect(Button4, &QToolButton::clicked, this, vantorix::guarded([this] { Button4Click(Button4); }));
    connect(Label1, &LinkLabel::clicked, this, vantorix::guarded([this] { Label1Click(Label1); }));
    connect(Label7, &LinkLabel::clicked, this, vantorix::guarded([this] { Label7Click(Label7); }));
    connect(Label9, &LinkLabel::clicked, this, vantorix::guarded([this] { showLibrary(); }));
}

void TForm1::showLibrary()
{
    if (!library_)
        library_ = new LibraryWindow(catalogue_, *libraryChanges_, *this, this);
    library_->show();
    library_->raise();
    library_->activateWindow();
}

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

bool TForm1::selectListedRom(const QString &path)
{
    for (int row = 0; row < ComboBox1->count(); ++row) {
        if (entryFile(ComboBox1->itemText(row)) == path) {
            ComboBox1->setCurrentIndex(row);
            ComboBox1Change(ComboBox1);
            return true;
        }
    }
    return false;
}

void TForm1::selectRomFile(const QString &path, bool addWhenMissing)
{
    if (path.isEmpty() || selectListedRom(path) || !addWhenMissing)
        return;
    // Not in the list: added, as the reader names it, an unsaved change.
    // Its folder, header and name wait on the drive and the hash cache:
    // read on the executor, added when read.
    const QString games = vantorix::storedText(Edit1);
    vantorix::Catalogue *names = vantorix::UserSettings().namesFromDatabases() ? &catalogue_ : nullptr;
    catalogue_.runThenHandBack(
        this,
        [path, games, names] {
            try {
                return vantorix::readerEntryOf(path, games, names);
            } catch (const vantorix::IoError &) {
                return vantorix::composeEntry(QString(), path);
            }
        },
        [this, path](const QString &entry) {
            vantorix::atHandlerEdge([&] {
                if (selectListedRom(path))
                    return;  // listed meanwhile
                ComboBox1->addItem(entry);
                ComboBox1->setCurrentIndex(ComboBox1->count() - 1);
                ComboBox1Change(ComboBox1);
            });
        });
}

void TForm1::takeSavedState(const QString &file)
{
    savedState_ = configuration();
    if (file.isEmpty())
        return;
    currentFile_ = vantorix::absolutePath(file);
    savedStamp_ = vantorix::FileStamp::of(currentFile_);
    vantorix::rememberLastConfiguration(currentFile_);
    watchConfigurationFile();
}

void TForm1::watchConfigurationFile()
{
    if (!configWatcher_) {
        configWatcher_ = new QFileSystemWatcher(this);
        auto *settle = new QTimer(this);
        settle->setSingleShot(true);
        // A writer's rename and a second writer's close after it: one look.
        settle->setInterval(200);
        connect(configWatcher_, &QFileSystemWatcher::fileChanged, settle, qOverload<>(&QTimer::start));
        connect(configWatcher_, &QFileSystemWatcher::directoryChanged, settle, qOverload<>(&QTimer::start));
        connect(settle, &QTimer::timeout, this, vantorix::guarded([this] { followConfigurationOnDisk(); }));
    }
    const QStringList watched = configWatcher_->files() + configWatcher_->directories();
    if (!watched.isEmpty())
        configWatcher_->removePaths(watched);
    const QString folder = currentFile_.left(currentFile_.lastIndexOf(QLatin1Char('/')));
    for (const QString &path : {currentFile_, folder.isEmpty() ? QStringLiteral("/") : folder})
        if (vantorix::isFaithfulPath(path))  // the watcher knows names as text only
            configWatcher_->addPath(path);
}

bool TForm1::hasUnsavedChanges() const
{
    return savedState_ && !(configuration() == *savedState_);
}

void TForm1::closeEvent(QCloseEvent *event)
{
    bool closing = true;
    vantorix::atHandlerEdge([&] { closing = confirmClosing(); });
    if (closing)
        QWidget::closeEvent(event);
    else
        event->ignore();
}

bool TForm1::confirmClosing()
{
    if (!hasUnsavedChanges())
        return true;
    const QString file = currentFile_.isEmpty() ? tr("the configuration")
                                                : vantorix::shownText(vantorix::displayPath(currentFile_),
                                                                      vantorix::kShownPathLength);
    QMessageBox box(QMessageBox::Question, vantorix::applicationTitle(), tr("Save changes to %1?").arg(file),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setObjectName(QStringLiteral("UnsavedChangesBox"));
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save:
        // The file the question names, at once.
        saveInPlace();
        return !hasUnsavedChanges();  // a cancelled or failed save keeps the program open
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
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

void TForm1::replaceGameList(const QStringList &entries)
{
    // A find typed over the old list is no find in the new one.
    if (findField_ && findField_->isVisible())
        closeFindField(false);
    ComboBox1->clear();
    ComboBox1->addItems(entries);
    ComboBox1->setCurrentIndex(-1);
    Label3->setText(noSelectionText_);
    Label8->setEnabled(false);
    markMissingGames();
    followDatabases();
}

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

QString TForm1::entryFile(const QString &entry) const
{
    if (vantorix::isBlankEntry(entry) || vantorix::isUserSelection(entry))
        return QString();
    return vantorix::absolutePath(
        vantorix::resolveRomPath(vantorix::storedText(Edit1), vantorix::romFileName(entry)));
}

QString TForm1::entryToolTip(const QString &entry) const
{
    const QString file = entryFile(entry);
    return file.isEmpty() ? QString() : vantorix::detailToolTipOfFile(file, catalogue_.databases()->database);
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

void TForm1::addShortcuts()
{
    const std::pair<QKeySequence, std::function<void()>> keys[] = {
        {QKeySequence::Save, [this] { saveInPlace(); }},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [this] { Button3Click(Button3); }},
        {QKeySequence::Open, [this] { Button4Click(Button4); }},
        // The standard Quit binding is empty on some platforms.
        {QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { Label6Click(Label6); }},
        {QKeySequence(Qt::CTRL | Qt::Key_E), [this] { Button5Click(Button5); }},
        {QKeySequence(Qt::CTRL | Qt::Key_I), [this] { Label7Click(Label7); }},
        {QKeySequence(Qt::Key_F1), [this] { Label1Click(Label1); }},
        {QKeySequence(Qt::CTRL | Qt::Key_L), [this] { showLibrary(); }},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L), [this] { openRomFile(); }},
        {QKeySequence(Qt::CTRL | Qt::Key_F), [this] { showFindField(); }},
    };
    for (const auto &[sequence, action] : keys) {
        connect(new QShortcut(sequence, this), &QShortcut::activated, this, vantorix::guarded(action));
        shortcutKeys_.append(sequence);
    }
    // A text field takes some of these keys for its own editing (Ctrl+E
    // moves to the end of the line): the window's keys win everywhere.
    for (QLineEdit *edit : findChildren<QLineEdit *>())
        edit->installEventFilter(this);
}

void TForm1::showKeysInHints()
{
    const std::pair<QWidget *, QKeySequence> keys[] = {
        {Button3, QKeySequence::Save},
        {Button4, QKeySequence::Open},
        {Button5, QKeySequence(Qt::CTRL | Qt::Key_E)},
        {Label6, QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {Label7, QKeySequence(Qt::CTRL | Qt::Key_I)},
        {Label1, QKeySequence(Qt::Key_F1)},
        {Label8, QKeySequence(Qt::Key_Return)},
        {Label9, QKeySequence(Qt::CTRL | Qt::Key_L)},
    };
    for (const auto &[widget, key] : keys) {
        const QString suffix = QStringLiteral("(%1)").arg(key.toString(QKeySequence::NativeText));
        const QString hint = widget->toolTip();
        if (!hint.endsWith(suffix))
            widget->setToolTip(hint.isEmpty() ? suffix : hint + QLatin1Char(' ') + suffix);
    }
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Expose && watched == windowHandle() && windowHandle()->isExposed() && !started_) {
        // After this exposure has painted the window.
        QTimer::singleShot(0, this, [this] { startOnce(); });
        return false;
    }
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QKeySequence pressed(key->keyCombination());
        if (shortcutKeys_.contains(pressed)) {
            event->ignore();
            return true;
        }
    }
    if (watched == findField_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Escape) {
            closeFindField(true);
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            vantorix::atHandlerEdge([this] { launchCurrentMatch(); });
            return true;
        }
        if ((key == Qt::Key_Down || key == Qt::Key_Up) && findMatches_->count() > 0) {
            const int row = findMatches_->currentRow() + (key == Qt::Key_Down ? 1 : -1);
            findMatches_->setCurrentRow(qBound(0, row, findMatches_->count() - 1));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

int TForm1::execFileDialog(QFileDialog *dialog)
{
    const int answer = dialog->exec();
    for (QCompleter *completer : dialog->findChildren<QCompleter *>())
        completer->popup()->hide();
    return answer;
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

void TForm1::dragEnterEvent(QDragEnterEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.constFirst().isLocalFile())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.constFirst().isLocalFile())
        return;
    event->acceptProposedAction();
    // The dropped file's own bytes: a name that is not UTF-8 comes
    // percent-encoded, and decoding it as text would name another file.
    const QByteArray bytes = QByteArray::fromPercentEncoding(urls.constFirst().path(QUrl::FullyEncoded).toLatin1());
    const QString path = vantorix::decodePath(bytes);
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (QFileInfo(path).isDir() && vantorix::isPictureRoot(path))
        vantorix::atHandlerEdge([&] { addPictureFolder(path); });
    else if (suffix == QLatin1String("dat") || suffix == QLatin1String("xml"))
        vantorix::atHandlerEdge([&] { addGameDatabase(path); });
    else
        vantorix::atHandlerEdge([&] { launchFile(path); });
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

void TForm1::showFindField()
{
    if (!findField_) {
        findField_ = new QLineEdit(this);
        findField_->setObjectName(QStringLiteral("FindField"));
        findField_->setPlaceholderText(tr("Find a game"));
        findField_->setClearButtonEnabled(true);
        findField_->installEventFilter(this);
        connect(findField_, &QLineEdit::textChanged, this,
                [this](const QString &text) { vantorix::atHandlerEdge([&] { findGames(text); }); });
        // The matches, under the field: title and file name as the list
        // shows them.
        findMatches_ = new QListWidget(this);
        findMatches_->setObjectName(QStringLiteral("FindMatches"));
        findMatches_->setFont(ComboBox1->font());
        findMatches_->setFocusPolicy(Qt::NoFocus);
        vantorix::useListItemDelegate(findMatches_, 14);
        connect(findMatches_, &QListWidget::currentRowChanged, this,
                vantorix::guarded([this] { showFindSelection(); }));
        connect(findMatches_, &QListWidget::itemActivated, this, vantorix::guarded([this] { launchCurrentMatch(); }));
    }
    if (!findField_->isVisible()) {
        selectionBeforeFind_ = Label3->text();
        launchBeforeFind_ = Label8->isEnabled();
    }
    // Over the game list, which it narrows as the user types.
    findField_->setGeometry(ComboBox1->geometry());
    // Below the selection line, which stays in sight naming the match.
    const QRect list = ComboBox1->geometry();
    findMatches_->setGeometry(list.x(), Label3->geometry().bottom() + 2, list.width(), 8 * 14 + 4);
    for (QWidget *widget : {static_cast<QWidget *>(findField_), static_cast<QWidget *>(findMatches_)}) {
        widget->show();
        widget->raise();
    }
    findField_->setFocus();
    findField_->selectAll();
    findGames(findField_->text());
}

void TForm1::showFindSelection()
{
    // The selection line names the game Return will start.
    const QListWidgetItem *match = findMatches_->currentItem();
    Label3->setText(match ? vantorix::selectionLine(match->text()) : QStringLiteral("??"));
}

void TForm1::findGames(const QString &text)
{
    auto *view = static_cast<QListView *>(ComboBox1->view());
    const QSignalBlocker quiet(findMatches_);
    findMatches_->clear();
    for (int i = 0; i < ComboBox1->count(); ++i) {
        const QString entry = ComboBox1->itemText(i);
        const bool match = text.isEmpty() || vantorix::entryMatches(entry, text);
        view->setRowHidden(i, !match);
        if (match && !vantorix::isBlankEntry(entry)) {
            auto *item = new QListWidgetItem(entry, findMatches_);
            item->setData(Qt::UserRole, i);
        }
    }
    findMatches_->setCurrentRow(findMatches_->count() > 0 ? 0 : -1);
    showFindSelection();
}

void TForm1::launchCurrentMatch()
{
    // The match the selection line names, the first unless Up and Down
    // moved: never a game the text does not match.
    const QListWidgetItem *match = findMatches_->currentItem();
    if (!match)
        return;
    const int row = match->data(Qt::UserRole).toInt();
    const QString text = findField_->text();
    if (row >= ComboBox1->count() || ComboBox1->itemText(row) != match->text()
        || (!text.isEmpty() && !vantorix::entryMatches(match->text(), text)))
        return;
    closeFindField(false);
    ComboBox1->setCurrentIndex(row);
    ComboBox1Change(ComboBox1);
    if (Label8->isEnabled())
        Label8Click(findField_);
}

void TForm1::closeFindField(bool restoreChoice)
{
    findField_->hide();
    findMatches_->hide();
    findField_->clear();  // every row shows again
    if (restoreChoice) {
        Label3->setText(selectionBeforeFind_);
        Label8->setEnabled(launchBeforeFind_);
    }
    ComboBox1->setFocus();
}

void TForm1::ComboBox1Change(QObject *)
{
    const QString entry = ComboBox1->currentText();
    if (vantorix::isBlankEntry(entry)) {
        Label3->setText(QStringLiteral("??"));
        Label8->setEnabled(false);
        return;
    }
    romKey_ = vantorix::ExtractRomKey(entry);
    Label3->setText(vantorix::selectionLine(entry));
    Label8->setEnabled(true);
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

void TForm1::Label6Click(QObject *)
{
    // Closing the main window ends the program, once unsaved changes are
    // saved or given up.
    close();
}

void TForm1::Button5Click(QObject *)
{
    Form3->exec();
}

void TForm1::Label1Click(QObject *)
{
    Form4->exec();
}

void TForm1::Label7Click(QObject *)
{
    if (RadioButton1->isChecked()) {
        Form2->Panel1->setVisible(true);
        Form2->Panel2->setVisible(false);
        Form2->Panel3->setVisible(false);
    }
    if (RadioButton2->isChecked()) {
        Form2->Panel1->setVisible(false);
        Form2->Panel2->setVisible(true);
        Form2->Panel3->setVisible(false);
    }
    if (RadioButton3->isChecked()) {
        Form2->Panel1->setVisible(false);
        Form2->Panel2->setVisible(false);
        Form2->Panel3->setVisible(true);
    }
    Form2->exec();
}
