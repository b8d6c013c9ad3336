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
