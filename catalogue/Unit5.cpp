#include "catalogue/Unit5.h"

#include "widgets/WindowAnchors.h"

#include "settings/UserSettings.h"

#include "widgets/ErrorBox.h"
#include "app/Forms.h"
#include "platform/FilePath.h"
#include "rom/GamesFolder.h"
#include "widgets/PlainText.h"
#include "app/Unit1.h"
#include "reading/Catalogue.h"
#include "reading/DetailToolTips.h"
#include "names/GameDatabase.h"
#include "reading/HeaderPass.h"
#include "rom/RomFolder.h"
#include "widgets/FolderNameCompleter.h"
#include "catalogue/Unit3.h"
#include "rom/GameListEntry.h"
#include "reading/RomAdding.h"
#include "widgets/DialogStyle.h"

#include <QCoreApplication>
#include <QCompleter>
#include <QDir>

#include <climits>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QScopedValueRollback>
#include <QShowEvent>
#include <QSignalBlocker>

#include <optional>
#include <utility>

namespace {

QString caption()
{
    return QCoreApplication::translate("TForm5", "ROMS reader");
}

const QString kReadingPrefix = QStringLiteral("--> ");

// How many files failed, and the first few with their reasons.
QString failureSummary(const QStringList &failures)
{
    constexpr qsizetype kNamed = 5;
    QStringList lines{QCoreApplication::translate("TForm5", "%n file(s) could not be read:", nullptr,
                                                  int(failures.size()))};
    lines += failures.mid(0, kNamed);
    if (failures.size() > kNamed)
        lines.append(QStringLiteral("..."));
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

TForm5::TForm5(vantorix::Catalogue &catalogue, QWidget *parent)
    : QDialog(parent), catalogue_(catalogue), initialFolder_(vantorix::currentFolderPath())
{
    setupUi(this);
    FileListBox1->setCatalogue(catalogue);
    ProgressBar1->setFormat(tr("%v of %m files read"));
    vantorix::makeResizableDialog(this);
    // A third of the growth to the folders, the rest to the files, whose
    // names are the longer.
    auto *anchors = new WindowAnchors(this, true);
    constexpr double folders = 1.0 / 3;
    for (QWidget *wide : std::initializer_list<QWidget *>{Label1, Label2})
        anchors->anchor(wide, WindowAnchors::kGrowAcross);
    anchors->anchor(DriveComboBox1, {0, 0, folders, 0});
    anchors->anchor(Edit1, {0, 0, folders, 0});
    anchors->anchor(DirectoryListBox1, {0, 0, folders, 1});
    anchors->anchor(FilterComboBox1, {folders, 0, 1 - folders, 0});
    anchors->anchor(Label8, WindowAnchors::kFollowRight);
    for (QWidget *box : std::initializer_list<QWidget *>{CheckBox1, CheckBox2})
        anchors->anchor(box, {folders, 0, 1 - folders, 0});
    anchors->anchor(FileListBox1, {folders, 0, 1 - folders, 1});
    anchors->anchor(ProgressBar1, {folders, 1, 1 - folders, 0});
    // Every kind of ROM first: a zipped collection shows from the first
    // opening on.
    FilterComboBox1->setFilterText(
        tr("All ROMS (*.gb;*.gbc;*.cgb;*.sgb;*.zip;*.7z)|*.gb;*.gbc;*.cgb;*.sgb;*.zip;*.7z|"
           "Gameboy ROMS (*.gb)|*.gb|Gameboy Color ROMS (*.gbc)|*.gbc|All files (*.*)|*.*|"
           "Zipped ROMS (*.zip;*.7z)|*.zip;*.7z"));
    FilterComboBox1->setFileList(FileListBox1);
    FileListBox1->setMask(FilterComboBox1->currentMask());
    // Both choices are the user's, remembered from one start to the next.
    const vantorix::UserSettings settings;
    CheckBox1->setChecked(settings.includeSubfolders());
    CheckBox2->setChecked(settings.namesFromDatabases());
    FileListBox1->setIncludeSubfolders(CheckBox1->isChecked());
    connect(CheckBox1, &QCheckBox::toggled, this, vantorix::guarded([this] {
        sayIfNotKept(vantorix::UserSettings().setIncludeSubfolders(CheckBox1->isChecked()));
        FileListBox1->setIncludeSubfolders(CheckBox1->isChecked());
    }));
    // Titles from the game databases, or from the headers again: the list
    // is read afresh either way, and the game list follows the databases
    // from now on, or no longer.
    connect(CheckBox2, &QCheckBox::toggled, this, vantorix::guarded([this] {
        sayIfNotKept(vantorix::UserSettings().setNamesFromDatabases(CheckBox2->isChecked()));
        if (FileListBox1->isFilled())
            FileListBox1->refill();
        if (Form1)
            Form1->followDatabases();
    }));
    DirectoryListBox1->setFileList(FileListBox1);
    // A folder typed or pasted, its names completed from the disk, opens on
    // Return; the field shows the listed folder.
    new FolderNameCompleter(Edit1, catalogue);
    connect(Edit1, &QLineEdit::returnPressed, this, vantorix::guarded([this] { openTypedFolder(); }));
    connect(DirectoryListBox1, &DirectoryListBox::directoryChanged, Edit1, &QLineEdit::setText);
    DriveComboBox1->setDirList(DirectoryListBox1);
    connect(FileListBox1, &FileListBox::changed, this, vantorix::guarded([this] {
        // While the window is being opened the pass waits until it shows.
        if (opening_)
            passPending_ = true;
        else
            FileListBox1Change(FileListBox1);
    }));
    connect(Label8, &LinkLabel::clicked, this, vantorix::guarded([this] { Label8Click(Label8); }));
}

void TForm5::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (opened_ || event->spontaneous())
        return;
    // The browser comes into being on the games directory, or where there
    // is none, on the folder that was current when the program started,
    // and lists it at once; the names are read once the window is on the
    // screen (see setVisible).
    opened_ = true;
    const QScopedValueRollback<bool> guard(opening_, true);
    vantorix::atHandlerEdge([this] { DirectoryListBox1->openFolder(firstFolder()); });
}

void TForm5::openTypedFolder()
{
    QString typed = Edit1->text().trimmed();
    if (typed.isEmpty())
        return;
    if (typed == QLatin1String("~") || typed.startsWith(QLatin1String("~/")))
        typed.replace(0, 1, QDir::homePath());
    // A relative path starts from the listed folder.
    const QString folder = QDir(DirectoryListBox1->directory()).absoluteFilePath(typed);
    if (DirectoryListBox1->openFolder(folder))
        DirectoryListBox1->setFocus();
    else
        Edit1->selectAll();
}

QString TForm5::firstFolder() const
{
    const QString games = Form1 ? vantorix::storedText(Form1->Edit1) : QString();
    if (!games.isEmpty() && QFileInfo(vantorix::absolutePath(games)).isDir())
        return vantorix::absolutePath(games);
    return initialFolder_;
}

void TForm5::setVisible(bool visible)
{
    QDialog::setVisible(visible);
    if (!visible) {
        // Closed: nothing more is read for it. What was read stays, and
        // the next change of selection goes on from there.
        FileListBox1->stopListing();
        if (FileListBox1->reading())
            FileListBox1->reading()->cancel();
        addAllPending_ = false;
        ProgressBar1->hide();
        setWindowTitle(caption());
        return;
    }
    // Opened again after a reading was stopped by closing: the rows not yet
    // read are read now.
    if (!std::exchange(passPending_, false) && !hasUnreadRows())
        return;
    vantorix::atHandlerEdge([this] { FileListBox1Change(FileListBox1); });
}

void TForm5::sayIfNotKept(bool kept)
{
    if (kept || std::exchange(settingsNotKeptShown_, true))
        return;
    vantorix::showNotice(tr("%1 cannot be written: your choice holds until the program ends.")
                             .arg(vantorix::displayPath(vantorix::UserSettings::defaultPath())));
}

bool TForm5::hasUnreadRows() const
{
    if (!FileListBox1->isFilled() || FileListBox1->isListing())
        return false;
    for (int row = 0; row < FileListBox1->count(); ++row)
        if (!FileListBox1->isConverted(row) && !FileListBox1->isFailed(row))
            return true;
    return false;
}

bool TForm5::isReading() const
{
    return FileListBox1->isListing() || (FileListBox1->reading() && FileListBox1->reading()->isBusy());
}

void TForm5::FileListBox1Change(QObject *)
{
    const vantorix::RomFolder *folder = FileListBox1->folder();
    std::vector<vantorix::FolderReading::Item> items;
    if (folder && !FileListBox1->isListing())
        for (int row = 0; row < FileListBox1->count(); ++row)
            if (!FileListBox1->isConverted(row))
                items.push_back({row, FileListBox1->fileName(row), FileListBox1->entryName(row)});
    vantorix::FolderReading *reading = FileListBox1->reading();
    if (items.empty() || !reading) {
        setWindowTitle(caption());
        return;
    }
    // A folder inside the games directory keeps its games' path below it;
    // the games of any other folder are named by their whole path.
    const QString games = Form1 ? vantorix::storedText(Form1->Edit1) : QString();
    const QString prefix = vantorix::entryPrefixFor(games, folder->path());
    const bool names = CheckBox2->isChecked();
    ProgressBar1->setRange(0, int(items.size()));
    ProgressBar1->setValue(0);
    ProgressBar1->show();
    vantorix::FolderReading::Converted callbacks;
    callbacks.rows = [this](const QList<vantorix::FolderReading::Row> &rows, int read, int) {
        vantorix::atHandlerEdge([&] { takeRows(rows, read); });
    };
    callbacks.done = [this, names](const QStringList &failures, bool cacheBusy) {
        vantorix::atHandlerEdge([&] { finishPass(failures, cacheBusy, names); });
    };
    reading->convert(folder->path(), std::move(items), prefix, names, std::move(callbacks));
}

void TForm5::takeRows(const QList<vantorix::FolderReading::Row> &rows, int read)
{
    {
        // A notification for each rewritten item would cost more than
        // reading the files: the list is laid out once a batch.
        const QSignalBlocker blocker(FileListBox1->model());
        for (const vantorix::FolderReading::Row &row : rows) {
            if (row.row >= FileListBox1->count())
                continue;
            if (row.failed)
                FileListBox1->setFailed(row.row, row.text);
            else
                FileListBox1->setEntry(row.row, row.text);
        }
    }
    FileListBox1->doItemsLayout();
    FileListBox1->viewport()->update();
    ProgressBar1->setValue(read);
    if (!rows.isEmpty())
        setWindowTitle(kReadingPrefix + vantorix::shownText(FileListBox1->item(rows.last().row)->text(),
                                                            vantorix::kShownCaptionLength));
}

void TForm5::finishPass(const QStringList &failures, bool cacheBusy, bool names)
{
    ProgressBar1->hide();
    setWindowTitle(caption());
    if (!failures.isEmpty())
        vantorix::reportError(failureSummary(failures));
    if (cacheBusy && !cacheBusyShown_) {
        cacheBusyShown_ = true;
        vantorix::showNotice(tr("The hash cache is held by another program: what was read is not kept."));
    }
    if (names)
        reportDatabaseProblems();
    if (std::exchange(addAllPending_, false))
        Label8Click(Label8);
}

void TForm5::reportDatabaseProblems()
{
    // Once a run: the databases are read once.
    if (databaseProblemsShown_)
        return;
    databaseProblemsShown_ = true;
    const std::shared_ptr<const vantorix::LoadedGameDatabases> databases = catalogue_.databases();
    QStringList lines;
    if (!databases->problems.isEmpty())
        lines << tr("%n game database(s) could not be read:", nullptr, int(databases->problems.size()))
              << databases->problems;
    if (!databases->gamesLeftOut.isEmpty())
        lines << tr("Games left out of %n game database(s):", nullptr, int(databases->gamesLeftOut.size()))
              << databases->gamesLeftOut;
    if (!lines.isEmpty())
        vantorix::showNotice(lines.join(QLatin1Char('\n')));
}

void TForm5::Label8Click(QObject *)
{
    // The files being read are added once they are read.
    if (isReading()) {
        addAllPending_ = true;
        return;
    }
    // Only what was read becomes an entry: a row never read is a bare file
    // name, whose last characters would name another file.
    const QString games = Form1 ? vantorix::storedText(Form1->Edit1) : QString();
    const QString folder = FileListBox1->folder() ? FileListBox1->folder()->path() : FileListBox1->directory();
    QList<vantorix::GameToAdd> read;
    int leftOut = 0;
    int unread = 0;
    for (int row = 0; row < FileListBox1->count(); ++row) {
        const QString file = folder + QLatin1Char('/') + vantorix::decodePath(FileListBox1->fileName(row));
        if (FileListBox1->isFailed(row))
            ++leftOut;
        else if (!FileListBox1->isConverted(row))
            ++unread;
        else
            read.append({file, FileListBox1->item(row)->text()});
    }
    accept();
    Form3->raise();
    Form3->activateWindow();
    // Which are in the list already (the same file by any path) waits on
    // the drive: found off the window's thread, the entries added then.
    ++adding_;
    catalogue_.runThenHandBack(
        this,
        [items = vantorix::listItems(Form3->ListBox2), games, read] {
            return vantorix::prepareGameListAddition(items, games, read, nullptr, INT_MAX);
        },
        [this, leftOut, unread](const vantorix::GameListAddition &addition) {
            vantorix::atHandlerEdge([&] { takeAddition(addition, leftOut, unread); });
        });
}

void TForm5::takeAddition(const vantorix::GameListAddition &addition, int leftOut, int unread)
{
    --adding_;
    Form3->ListBox2->addItems(addition.entries);
    Form3->countRefresh();
    Form3->ListBox2->scrollToBottom();
    const int already = int(addition.alreadyListed.size());
    leftOut += int(addition.refused.size());
    QStringList said;
    if (leftOut > 0)
        said.append(tr("%n file(s) that could not be read were left out.", nullptr, leftOut));
    if (unread > 0)
        said.append(tr("%n file(s) not read yet were left out.", nullptr, unread));
    if (already > 0)
        said.append(tr("%n game(s) already in the list were not added again.", nullptr, already));
    if (!said.isEmpty())
        vantorix::showNotice(said.join(QLatin1Char('\n')));
}
