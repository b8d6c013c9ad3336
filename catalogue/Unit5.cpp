#include "catalogue/Unit5.h"

#include "app/ErrorBox.h"
#include "app/Forms.h"
#include "app/FilePath.h"
#include "app/GamesFolder.h"
#include "app/PlainText.h"
#include "app/Unit1.h"
#include "catalogue/Catalogue.h"
#include "catalogue/DetailToolTips.h"
#include "catalogue/GameDatabase.h"
#include "catalogue/HeaderPass.h"
#include "catalogue/RomFolder.h"
#include "catalogue/Unit3.h"
#include "windows/DialogStyle.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QScopedValueRollback>
#include <QShowEvent>
#include <QSignalBlocker>

#include <optional>

namespace {

QString caption()
{
    return QCoreApplication::translate("TForm5", "ROMS reader");
}

const QString kReadingPrefix = QStringLiteral("--> ");

// The header pass works on the file list's items in place, and skips the
// items it has converted before without looking them up again.
class FileListEntries : public vantorix::EntryList {
public:
    explicit FileListEntries(FileListBox *list) : list_(list) {}
    int count() const override { return list_->count(); }
    QString text(int index) const override { return list_->item(index)->text(); }
    void setText(int index, const QString &text) override { list_->setEntry(index, text); }
    QByteArray fileName(int index) const override { return list_->fileName(index); }
    QString entryName(int index) const override { return list_->entryName(index); }
    bool isConverted(int index) const override { return list_->isConverted(index); }
    void setFailed(int index, const QString &reason) override { list_->setFailed(index, reason); }

private:
    FileListBox *list_;
};

// How many files failed, and the first few with their reasons.
QString failureSummary(const std::vector<vantorix::HeaderPassFailure> &failures)
{
    constexpr size_t kNamed = 5;
    QStringList lines{QCoreApplication::translate("TForm5", "%n file(s) could not be read:", nullptr,
                                                  int(failures.size()))};
    for (size_t i = 0; i < failures.size() && i < kNamed; ++i)
        lines.append(vantorix::displayPath(failures[i].fileName) + QStringLiteral(": ") + failures[i].error.text());
    if (failures.size() > kNamed)
        lines.append(QStringLiteral("..."));
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

TForm5::TForm5(vantorix::Catalogue &catalogue, QWidget *parent)
    : QDialog(parent), catalogue_(catalogue), initialFolder_(vantorix::currentFolderPath())
{
    setupUi(this);
    FileListBox1->setDetails(&catalogue.toolTips());
    vantorix::makeFixedDialog(this);
    // Every kind of ROM first: a zipped collection shows from the first
    // opening on.
    FilterComboBox1->setFilterText(
        tr("All ROMS (*.gb;*.gbc;*.cgb;*.sgb;*.zip;*.7z)|*.gb;*.gbc;*.cgb;*.sgb;*.zip;*.7z|"
           "Gameboy ROMS (*.gb)|*.gb|Gameboy Color ROMS (*.gbc)|*.gbc|All files (*.*)|*.*|"
           "Zipped ROMS (*.zip;*.7z)|*.zip;*.7z"));
    FilterComboBox1->setFileList(FileListBox1);
    FileListBox1->setMask(FilterComboBox1->currentMask());
    connect(CheckBox1, &QCheckBox::toggled, this,
            vantorix::guarded([this] { FileListBox1->setIncludeSubfolders(CheckBox1->isChecked()); }));
    // Titles from the game databases, or from the headers again: the list
    // is read afresh either way.
    connect(CheckBox2, &QCheckBox::toggled, this, vantorix::guarded([this] {
        if (FileListBox1->isFilled())
            FileListBox1->refill();
    }));
    DirectoryListBox1->setFileList(FileListBox1);
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
    if (!visible || !passPending_)
        return;
    passPending_ = false;
    // Show the window with the bare names before the first file is read.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    vantorix::atHandlerEdge([this] { FileListBox1Change(FileListBox1); });
}

void TForm5::FileListBox1Change(QObject *)
{
    const vantorix::RomFolder *folder = FileListBox1->folder();
    // A notification for each of 100,000 rewritten items would cost more
    // than reading the files: the list is redrawn with the caption, and laid
    // out once the pass ends.
    struct QuietList {
        explicit QuietList(FileListBox *l) : list(l), blocker(l->model()) {}
        FileListBox *list;
        QSignalBlocker blocker;
        bool rewritten = false;
        ~QuietList()
        {
            blocker.unblock();
            if (rewritten)
                list->doItemsLayout();
            list->viewport()->update();
        }
    };
    std::optional<QuietList> quiet;
    quiet.emplace(FileListBox1);
    QElapsedTimer sinceRepaint;
    sinceRepaint.start();
    QString reading;
    auto progress = [&](const QString &name) {
        reading = name;
        quiet->rewritten = true;
        // Updating the caption for every file of a large folder costs more
        // than reading it: show the file being read a few times a second.
        if (sinceRepaint.elapsed() >= 100) {
            setWindowTitle(kReadingPrefix + name);
            FileListBox1->viewport()->update();
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            sinceRepaint.restart();
        }
    };
    FileListEntries entries(FileListBox1);
    std::vector<vantorix::HeaderPassFailure> failures;
    if (folder) {
        // A folder inside the games directory keeps its games' path below
        // it; the games of any other folder are named by their whole path.
        const QString games = Form1 ? vantorix::storedText(Form1->Edit1) : QString();
        const QString prefix = vantorix::entryPrefixFor(games, folder->path());
        // Never waiting on the window's thread for a cache another program
        // holds: the pass goes without it.
        bool cacheBusy = false;
        failures = vantorix::runHeaderPass(entries, *folder, progress, prefix,
                                           CheckBox2->isChecked() ? &catalogue_ : nullptr, 0, &cacheBusy);
        if (cacheBusy && !cacheBusyShown_) {
            cacheBusyShown_ = true;
            vantorix::showNotice(tr("The hash cache is held by another program: what was read is not kept."));
        }
    }
    quiet.reset();
    setWindowTitle(caption());
    if (!failures.empty())
        vantorix::reportError(failureSummary(failures));
    if (CheckBox2->isChecked())
        reportDatabaseProblems();
}

void TForm5::reportDatabaseProblems()
{
    // Once a run: the databases are read once.
    if (databaseProblemsShown_)
        return;
    databaseProblemsShown_ = true;
    const QStringList problems = catalogue_.databases()->problems;
    if (!problems.isEmpty())
        vantorix::showNotice(tr("%n game database(s) could not be read:", nullptr, int(problems.size()))
                             + QLatin1Char('\n') + problems.join(QLatin1Char('\n')));
}

void TForm5::Label8Click(QObject *)
{
    QStringList entries;
    int leftOut = 0;
    for (int row = 0; row < FileListBox1->count(); ++row) {
        if (FileListBox1->isFailed(row))
            ++leftOut;
        else
            entries.append(FileListBox1->item(row)->text());
    }
    Form3->ListBox2->addItems(entries);
    Form3->countRefresh();
    Form3->ListBox2->scrollToBottom();
    accept();
    Form3->raise();
    Form3->activateWindow();
    if (leftOut > 0)
        vantorix::showNotice(tr("%n file(s) that could not be read were left out.", nullptr, leftOut));
}
