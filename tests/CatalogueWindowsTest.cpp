// The ROMS reader and the playlist editor on real widgets, over folders the
// tests make.
#include "app/Forms.h"
#include "rom/GameListEntry.h"
#include "app/Unit1.h"
#include "reading/Catalogue.h"
#include "widgets/FolderBrowser.h"
#include "names/GameDatabase.h"
#include "names/HashCache.h"
#include "rom/RomHeader.h"
#include "catalogue/Unit3.h"
#include "catalogue/Unit5.h"
#include "settings/UserSettings.h"
#include "tests/WindowTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QPushButton>
#include <QFile>
#include <QMessageBox>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStorageInfo>
#include <QTimer>
#include <QAbstractItemView>
#include <QCompleter>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <memory>

#include <zlib.h>

using namespace testing_support;
using vantorix::composeEntry;

namespace {

QStringList numberedEntries(int count, const QString &tag = QStringLiteral("GAME"))
{
    QStringList entries;
    for (int i = 0; i < count; ++i)
        entries.append(composeEntry(QStringLiteral("%1 %2").arg(tag).arg(i), QStringLiteral("G%1.GB").arg(i)));
    return entries;
}

// The windows are made after the test's folder became the current one, as
// the program makes them in the folder it was started from.
class RomsReader : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = QDir(dir.path()).canonicalPath();
    }

    // The games directory is the test's folder unless said otherwise.
    void start(bool gamesHere = true)
    {
        ASSERT_TRUE(QDir::setCurrent(folder));
        forms = std::make_unique<FormsGuard>();
        if (gamesHere)
            Form1->Edit1->setText(folder);
    }

    void TearDown() override
    {
        forms.reset();
    }

    QString rom(const QString &name, const QByteArray &title)
    {
        return writeFile(QDir(folder).filePath(name), romImage(title));
    }

    void chooseFilter(int index)
    {
        Form5->FilterComboBox1->setCurrentIndex(index);
        Q_EMIT Form5->FilterComboBox1->activated(index);
        waitForReader();
    }

    QStringList listed() const { return vantorix::listItems(Form5->FileListBox1); }

    CurrentFolderGuard currentFolder;
    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<FormsGuard> forms;
};

TEST_F(RomsReader, FirstOpeningListsAndConvertsTheStartFolder)
{
    rom("b.gb", "BETA");
    rom("A.GB", "ALPHA");
    rom("c.gbc", "COLOUR");
    rom(".hidden.gb", "HIDDEN");
    QDir(folder).mkdir("folder.gb");
    rom("readonly.gb", "LOCKED");
    QFile::setPermissions(QDir(folder).filePath("readonly.gb"), QFile::ReadOwner | QFile::ReadGroup);
    start(false);
    QDir::setCurrent(QDir::tempPath());  // without a games directory, the browser starts where the program did

    Form5->show();
    waitForReader();
    // Outside any games directory, an entry names its file whole.
    EXPECT_EQ(listed(), QStringList({composeEntry("ALPHA", folder + "/A.GB"), composeEntry("BETA", folder + "/B.GB"),
                                     composeEntry("COLOUR", folder + "/C.GBC"),
                                     composeEntry("LOCKED", folder + "/READONLY.GB")}));
    EXPECT_EQ(Form5->windowTitle(), QStringLiteral("ROMS reader"));
    EXPECT_EQ(QDir::currentPath(), folder);
    EXPECT_EQ(Form5->DirectoryListBox1->directory(), folder);
    EXPECT_EQ(Form5->FilterComboBox1->currentText(), QStringLiteral("All ROMS (*.gb;*.gbc;*.cgb;*.sgb;*.zip;*.7z)"));
    EXPECT_EQ(Form5->DriveComboBox1->currentDrive(), QStorageInfo(folder).rootPath());
    // The folder list: the path from the root, then the subfolders.
    const QStringList parts = folder.split('/', Qt::SkipEmptyParts);
    ASSERT_EQ(Form5->DirectoryListBox1->count(), parts.size() + 2);
    EXPECT_EQ(Form5->DirectoryListBox1->item(0)->text(), QStringLiteral("/"));
    EXPECT_EQ(Form5->DirectoryListBox1->item(parts.size())->text().trimmed(), parts.last());
    EXPECT_EQ(Form5->DirectoryListBox1->item(parts.size() + 1)->text().trimmed(), QStringLiteral("folder.gb"));
}

TEST_F(RomsReader, EmptyFolderAndAddAllOfNothing)
{
    writeFile(QDir(folder).filePath("notes.txt"), "no rom here");
    start();
    Form3->show();
    Form3->Label3->setText("stale");
    Form5->show();
    waitForReader();
    EXPECT_EQ(Form5->FileListBox1->count(), 0);
    EXPECT_EQ(Form5->windowTitle(), QStringLiteral("ROMS reader"));
    Form5->Label8Click(Form5->Label8);
    waitFor([] { return !Form5->isAdding(); });
    EXPECT_FALSE(Form5->isVisible());
    EXPECT_EQ(Form3->ListBox2->count(), 0);
    EXPECT_EQ(Form3->Label3->text(), QStringLiteral("0 ROMs"));
    EXPECT_EQ(Form3->Label4->text(), QStringLiteral("0 ROMs"));
}

TEST_F(RomsReader, FiltersRefillAndConvertAfresh)
{
    rom("one.gb", "ONE");
    rom("two.GBC", "TWO");
    start();
    Form5->show();
    waitForReader();
    EXPECT_EQ(listed(), QStringList({composeEntry("ONE", "ONE.GB"), composeEntry("TWO", "TWO.GBC")}));
    chooseFilter(2);
    EXPECT_EQ(Form5->FileListBox1->mask(), QStringLiteral("*.gbc"));
    EXPECT_EQ(listed(), QStringList({composeEntry("TWO", "TWO.GBC")}));
    chooseFilter(1);
    EXPECT_EQ(listed(), QStringList({composeEntry("ONE", "ONE.GB")}));
    // Back to the first filter: the names are listed and read again.
    rom("one.gb", "ONE AGAIN");
    chooseFilter(0);
    EXPECT_EQ(listed(), QStringList({composeEntry("ONE AGAIN", "ONE.GB"), composeEntry("TWO", "TWO.GBC")}));
}

TEST_F(RomsReader, BadFilesStayGreyedAndAddAllLeavesThemOut)
{
    rom("a.gb", "FIRST");
    writeFile(QDir(folder).filePath("b.txt"), QByteArray(0x140, 'x'));
    rom("c.bin", "THIRD");
    start();
    Form5->show();
    waitForReader();
    {
        // One message after the pass, naming the file and its reason.
        ModalAnswerer box(pressOk);
        chooseFilter(3);  // All files
        EXPECT_EQ(box.seenText(), QStringLiteral("1 file could not be read:\nb.txt: Read beyond end of file."));
    }
    EXPECT_EQ(listed(), QStringList({composeEntry("FIRST", "A.GB"), "b.txt", composeEntry("THIRD", "C.BIN")}));
    EXPECT_EQ(Form5->windowTitle(), QStringLiteral("ROMS reader"));
    EXPECT_TRUE(Form5->FileListBox1->isFailed(1));
    // A later pass does not try it again, so no message comes.
    rom("b.txt", "SECOND");
    Form5->FileListBox1->setCurrentRow(2);
    waitForReader();
    EXPECT_EQ(listed().at(1), QStringLiteral("b.txt"));
    {
        ModalAnswerer notice(pressOk);
        Form5->Label8Click(Form5->Label8);
        waitFor([] { return !Form5->isAdding(); });
        EXPECT_EQ(notice.seenText(), QStringLiteral("1 file that could not be read was left out."));
    }
    EXPECT_EQ(vantorix::listItems(Form3->ListBox2),
              QStringList({composeEntry("FIRST", "A.GB"), composeEntry("THIRD", "C.BIN")}));
}

TEST_F(RomsReader, SelectionChangeRunsAPassAndReopeningRunsNone)
{
    rom("a.gb", "FIRST");
    rom("b.gb", "SECOND");
    start();
    Form5->show();
    waitForReader();
    const QStringList converted = listed();

    Form5->setWindowTitle("marker");
    Form5->FileListBox1->setCurrentRow(1);
    waitForReader();
    EXPECT_EQ(Form5->windowTitle(), QStringLiteral("ROMS reader"));
    EXPECT_EQ(listed(), converted);
    Form5->setWindowTitle("marker");
    Form5->FileListBox1->setCurrentRow(1);  // already selected
    waitForReader();
    EXPECT_EQ(Form5->windowTitle(), QStringLiteral("marker"));

    // Closed and opened again: same folder, same list, no pass.
    QDir(folder).mkdir("sub");
    rom("sub/z.gb", "DEEPER");
    ASSERT_TRUE(Form5->DirectoryListBox1->openFolder(folder + "/sub"));
    waitForReader();
    Form5->close();
    QDir::setCurrent(QDir::tempPath());
    Form5->setWindowTitle("marker");
    Form5->show();
    waitForReader();
    EXPECT_EQ(Form5->windowTitle(), QStringLiteral("marker"));
    EXPECT_EQ(Form5->DirectoryListBox1->directory(), folder + "/sub");
    EXPECT_EQ(listed(), QStringList({composeEntry("DEEPER", "SUB/Z.GB")}));
}

TEST_F(RomsReader, FolderThatCannotBeEnteredMovesNothing)
{
    rom("a.gb", "FIRST");
    writeFile(QDir(folder).filePath("plain"), "x");
    start();
    Form5->show();
    waitForReader();
    const QStringList before = listed();
    for (const QString &target : {folder + "/missing", folder + "/plain"}) {
        ModalAnswerer box(pressOk);
        EXPECT_FALSE(Form5->DirectoryListBox1->openFolder(target));
        EXPECT_FALSE(box.seenText().isEmpty());
    }
    EXPECT_EQ(Form5->DirectoryListBox1->directory(), folder);
    EXPECT_EQ(QDir::currentPath(), folder);
    EXPECT_EQ(listed(), before);
}

TEST_F(RomsReader, AddAllTwiceWhileTheEditorStaysOpen)
{
    rom("a.gb", "FIRST");
    rom("b.gb", "SECOND");
    start();
    Form3->show();
    Form5->show();
    waitForReader();
    Form5->Label8Click(Form5->Label8);
    waitFor([] { return !Form5->isAdding(); });
    EXPECT_FALSE(Form5->isVisible());
    // The second time every game is in the playlist already.
    Form5->show();
    waitForReader();
    {
        ModalAnswerer notice(pressOk);
        Form5->Label8Click(Form5->Label8);
        waitFor([] { return !Form5->isAdding(); });
        EXPECT_EQ(notice.seenText(), "2 games already in the list were not added again.");
    }
    EXPECT_FALSE(Form5->isVisible());
    EXPECT_EQ(vantorix::listItems(Form3->ListBox2),
              QStringList({composeEntry("FIRST", "A.GB"), composeEntry("SECOND", "B.GB")}));
    EXPECT_EQ(Form3->Label4->text(), QStringLiteral("2 ROMs"));
}

class PlaylistEditor : public ::testing::Test {
protected:
    void open(const QStringList &gameList = {})
    {
        Form1->ComboBox1->clear();
        Form1->ComboBox1->addItems(gameList);
        Form3->show();
    }

    void select(QListWidget *list, int row)
    {
        list->setCurrentRow(row);
        list->item(row)->setSelected(true);
    }

    FormsGuard forms;
};

TEST_F(PlaylistEditor, ShowingFillsTheAvailableListAndEmptiesThePlaylist)
{
    open();
    EXPECT_EQ(Form3->ListBox1->count(), 0);
    EXPECT_EQ(Form3->Label3->text(), QStringLiteral("0 ROMs"));
    EXPECT_EQ(Form3->Label4->text(), QStringLiteral("0 ROMs"));
    Form3->hide();

    open(numberedEntries(3));
    EXPECT_EQ(vantorix::listItems(Form3->ListBox1), numberedEntries(3));
    EXPECT_EQ(Form3->Label3->text(), QStringLiteral("3 ROMs"));

    // One picture at a time, and over many showings each of them.
    bool seen1 = false;
    bool seen2 = false;
    for (int i = 0; i < 64; ++i) {
        Form3->hide();
        Form3->show();
        EXPECT_NE(Form3->Image1->isVisible(), Form3->Image2->isVisible());
        seen1 |= Form3->Image1->isVisible();
        seen2 |= Form3->Image2->isVisible();
    }
    EXPECT_TRUE(seen1 && seen2);
}

TEST_F(PlaylistEditor, AddRemoveAndTheirEmptySelection)
{
    open(numberedEntries(3));
    // The keyboard starts on the available list at its first entry: Return
    // adds it at once.
    EXPECT_EQ(Form3->ListBox1->currentRow(), 0);
    EXPECT_EQ(Form3->focusWidget(), Form3->ListBox1);
    QTest::keyClick(Form3->ListBox1, Qt::Key_Return);
    EXPECT_EQ(vantorix::listItems(Form3->ListBox2), QStringList{numberedEntries(3)[0]});
    Form3->Label10Click(Form3->Label10);
    Form3->ListBox1->setCurrentRow(-1);
    Form3->Label3->setText("stale");
    Form3->Label7Click(Form3->Label7);  // nothing selected
    EXPECT_EQ(Form3->ListBox2->count(), 0);
    EXPECT_EQ(Form3->Label3->text(), QStringLiteral("3 ROMs"));

    select(Form3->ListBox1, 2);
    Form3->Label7Click(Form3->Label7);
    Form3->Label7Click(Form3->Label7);
    select(Form3->ListBox1, 0);
    Form3->Label7Click(Form3->Label7);
    EXPECT_EQ(vantorix::listItems(Form3->ListBox2),
              QStringList({numberedEntries(3)[2], numberedEntries(3)[2], numberedEntries(3)[0]}));

    Form3->ListBox2->clearSelection();
    Form3->Label4->setText("stale");
    Form3->Label9Click(Form3->Label9);
    EXPECT_EQ(Form3->ListBox2->count(), 3);
    EXPECT_EQ(Form3->Label4->text(), QStringLiteral("3 ROMs"));
    select(Form3->ListBox2, 1);
    Form3->Label9Click(Form3->Label9);
    EXPECT_EQ(vantorix::listItems(Form3->ListBox2), QStringList({numberedEntries(3)[2], numberedEntries(3)[0]}));
    // Remove removes one entry: nothing is selected after it.
    Form3->Label9Click(Form3->Label9);
    EXPECT_EQ(Form3->ListBox2->count(), 2);
    Form3->Label10Click(Form3->Label10);
    EXPECT_EQ(Form3->ListBox2->count(), 0);
    EXPECT_EQ(Form3->Bar1->value(), 0);
}

TEST_F(PlaylistEditor, TheLimitOf680)
{
    const QStringList entries = numberedEntries(681);
    open(entries);
    Form3->ListBox2->addItems(entries.mid(0, 679));
    select(Form3->ListBox1, 679);
    Form3->Label7Click(Form3->Label7);  // the 680th: no message
    EXPECT_EQ(Form3->Label4->text(), QStringLiteral("680 ROMs"));
    EXPECT_EQ(Form3->Bar1->value(), Form3->Bar1->maximum());
    {
        ModalAnswerer notice(pressOk);
        select(Form3->ListBox1, 680);
        Form3->Label7Click(Form3->Label7);
        EXPECT_EQ(notice.seenText(), QStringLiteral("MAX ROMS: 680"));
    }
    EXPECT_EQ(Form3->ListBox2->count(), 681);
    EXPECT_EQ(Form3->Label4->text(), QStringLiteral("681 ROMs"));
    EXPECT_EQ(Form3->Bar1->value(), 680);
    {
        ModalAnswerer notice(pressOk);
        Form3->Label6Click(Form3->Label6);
        EXPECT_EQ(notice.seenText(), QStringLiteral(" Max ROMs for the playlist: 680"));
    }
    EXPECT_TRUE(Form3->isVisible());
    EXPECT_EQ(Form1->ComboBox1->count(), 681);  // nothing committed
    select(Form3->ListBox2, 0);
    Form3->Label9Click(Form3->Label9);
    Form3->Label6Click(Form3->Label6);
    EXPECT_FALSE(Form3->isVisible());
    EXPECT_EQ(vantorix::listItems(Form1->ComboBox1), entries.mid(1));
    EXPECT_EQ(Form1->ComboBox1->currentIndex(), -1);
}

TEST_F(PlaylistEditor, AddAllTwiceWarnsOnceAndAddAllPastTheLimitIsQuietUnderIt)
{
    open(numberedEntries(400));
    Form3->Label8Click(Form3->Label8);
    EXPECT_EQ(Form3->ListBox2->count(), 400);
    {
        ModalAnswerer notice(pressOk);
        Form3->Label8Click(Form3->Label8);
        EXPECT_EQ(notice.seenTexts(), QStringList({"MAX ROMS: 680"}));
    }
    EXPECT_EQ(Form3->Label4->text(), QStringLiteral("800 ROMs"));
    EXPECT_EQ(Form3->Bar1->value(), Form3->Bar1->maximum());
    EXPECT_EQ(vantorix::listItems(Form3->ListBox2), numberedEntries(400) + numberedEntries(400));
}

TEST_F(PlaylistEditor, CommitCancelAndTheNextShowing)
{
    open(numberedEntries(5));
    Form3->ListBox2->addItem("imported entry");
    Form3->Label5Click(Form3->Label5);  // Cancel: the import is lost
    EXPECT_FALSE(Form3->isVisible());
    EXPECT_EQ(vantorix::listItems(Form1->ComboBox1), numberedEntries(5));

    Form3->show();
    select(Form3->ListBox1, 3);
    Form3->Label7Click(Form3->Label7);
    Form3->Label6Click(Form3->Label6);
    EXPECT_EQ(vantorix::listItems(Form1->ComboBox1), QStringList({numberedEntries(5)[3]}));
    Form3->show();
    EXPECT_EQ(vantorix::listItems(Form3->ListBox1), QStringList({numberedEntries(5)[3]}));
    EXPECT_EQ(Form3->ListBox2->count(), 0);

    // Ok! with an empty playlist asks before it empties the game list, No
    // being the default.
    for (const auto button : {QMessageBox::No, QMessageBox::Yes}) {
        QString asked;
        ModalAnswerer answer([&](QWidget *question) {
            auto *box = qobject_cast<QMessageBox *>(question);
            ASSERT_NE(box, nullptr);
            asked = box->text();
            EXPECT_EQ(static_cast<QAbstractButton *>(box->defaultButton()), box->button(QMessageBox::No));
            pressButton(question, button);
        });
        Form3->Label6Click(Form3->Label6);
        EXPECT_TRUE(asked.contains("game list of 1 game would be emptied")) << asked.toStdString();
        EXPECT_EQ(Form1->ComboBox1->count(), button == QMessageBox::No ? 1 : 0);
        EXPECT_EQ(Form3->isVisible(), button == QMessageBox::No);
    }
}

TEST_F(PlaylistEditor, ImportCarriesTheAddAllCaption)
{
    open();
    for (const QString &caption : {QStringLiteral(">> Add all"), QStringLiteral(">> Aggiungi tutti")}) {
        Form3->Label8->setText(caption);
        QString shown;
        ModalAnswerer reader([&](QWidget *window) {
            shown = Form5->Label8->text();
            EXPECT_EQ(window, Form5);
            rejectDialog(window);
        });
        Form3->Label11Click(Form3->Label11);
        EXPECT_EQ(shown, caption);
    }
}

// Subfolders come in with one check; what the walk leaves out is named.
TEST_F(RomsReader, SubfoldersInOneCheckAndWhatIsLeftOutNamed)
{
    rom("top.gb", "TOP");
    rom("Sports/Tennis/tennis.gb", "TENNIS");
    rom(QString("d/").repeated(33) + "deep.gb", "DEEP");
    start();
    Form5->show();
    waitForReader();
    EXPECT_EQ(listed(), QStringList{composeEntry("TOP", "TOP.GB")});
    {
        ModalAnswerer notice(pressOk);
        Form5->CheckBox1->setChecked(true);
        waitForReader();
        EXPECT_EQ(notice.seenText(), "1 folder left out:\n" + QString("d/").repeated(32) + "d: more than 32 folders deep");
    }
    EXPECT_EQ(listed(), QStringList({composeEntry("TENNIS", "SPORTS/TENNIS/TENNIS.GB"), composeEntry("TOP", "TOP.GB")}));
    Form5->CheckBox1->setChecked(false);
    waitForReader();
    EXPECT_EQ(listed(), QStringList{composeEntry("TOP", "TOP.GB")});
}

}  // namespace

namespace {

// The window answers while a tree of folders is walked and read whole for
// the games' names, with the hash cache held by another program; a game
// whose name in the database is two megabytes shows it cut in its
// tool-tip. A timer ticks throughout: its longest pause must stay far
// below the time the reading takes (the database alone takes a while), as
// it would not if the reading ran on the window's thread.
TEST_F(RomsReader, WindowAnswersWhileAFolderIsRead)
{
    for (int f = 0; f < 200; ++f)
        for (int i = 0; i < 10; ++i)
            rom(QStringLiteral("d%1/g%2.gb").arg(f, 3, 10, QLatin1Char('0')).arg(i), QByteArray("GAME"));
    const QByteArray image = romImage("LONG NAME");
    rom("a.gb", "LONG NAME");
    const QString name(2 << 20, QLatin1Char('n'));
    // A database large enough that reading it takes a while, while the
    // games are read.
    QByteArray games = QStringLiteral("game ( name \"%1\" rom ( name \"a.gb\" size %2 crc %3 ) )\n")
                           .arg(name)
                           .arg(image.size())
                           .arg(::crc32(0, reinterpret_cast<const Bytef *>(image.constData()), uInt(image.size())), 8,
                                16, QLatin1Char('0'))
                           .toUtf8();
    for (int i = 0; i < 300'000; ++i)
        games += "game ( name \"Other " + QByteArray::number(i) + "\" rom ( size 1 crc "
                 + QByteArray::number(i, 16) + " ) )\n";
    const QString dat = writeFile(vantorix::userDatFolder() + "/long.dat", games);
    start();
    QSqlDatabase holder = QSqlDatabase::addDatabase("QSQLITE", "holder");
    {
        vantorix::HashCache made(forms->catalogue().hashCachePath());  // there to be held
    }
    holder.setDatabaseName(forms->catalogue().hashCachePath());
    ASSERT_TRUE(holder.open());
    QSqlQuery(holder).exec("BEGIN EXCLUSIVE");

    Form5->show();
    waitForReader();
    QElapsedTimer sinceTick, reading;
    qint64 longestPause = 0;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestPause = qMax(longestPause, sinceTick.restart());
    });
    {
        ModalAnswerer notice(pressOk, 120000);  // the cache was not kept, said once
        sinceTick.start();
        reading.start();
        ticker.start();
        Form5->CheckBox2->setChecked(true);
        Form5->CheckBox1->setChecked(true);
        waitForReader();
        ticker.stop();
        EXPECT_EQ(notice.seenText(), "The hash cache is held by another program: what was read is not kept.");
    }
    EXPECT_LT(longestPause * 4, reading.elapsed()) << longestPause << " ms of " << reading.elapsed();
    ASSERT_EQ(Form5->FileListBox1->count(), 2001);
    EXPECT_EQ(vantorix::romFileName(Form5->FileListBox1->item(0)->text()), "A.GB");
    EXPECT_TRUE(Form5->FileListBox1->item(0)->text().startsWith(name));  // whole where it is kept

    const QRect first = Form5->FileListBox1->visualRect(Form5->FileListBox1->model()->index(0, 0));
    QHelpEvent hover(QEvent::ToolTip, first.center(), Form5->FileListBox1->viewport()->mapToGlobal(first.center()));
    QApplication::sendEvent(Form5->FileListBox1->viewport(), &hover);
    const QString tip = waitForToolTip();
    EXPECT_TRUE(tip.startsWith(name.left(200) + QString::fromUtf8("…"))) << tip.left(300).toStdString();
    EXPECT_LT(tip.size(), 2000);

    QSqlQuery(holder).exec("ROLLBACK");
    holder.close();
    holder = QSqlDatabase();
    QSqlDatabase::removeDatabase("holder");
    QFile::remove(dat);
}

// The reader closed while it reads, and opened again: the rows not read
// are read, Add all adds entries only, each file once; the path field
// completes folders without opening a file, in /proc too; a settings file
// that is a FIFO neither hangs the window nor keeps a choice.
TEST_F(RomsReader, ReadingStoppedByClosingPathFieldAndSettingsThatCannotBeKept)
{
    for (int i = 0; i < 400; ++i)
        rom(QStringLiteral("g%1.gb").arg(i, 3, 10, QLatin1Char('0')), QByteArray("GAME ") + QByteArray::number(i));
    for (int i = 0; i < 10000; ++i)
        writeFile(folder + QStringLiteral("/crowd/f%1").arg(i), "x");
    QDir(folder).mkpath("crowd/Sub One");
    start();
    Form5->show();
    ASSERT_TRUE(waitFor([] { return Form5->FileListBox1->isFilled() && !Form5->FileListBox1->isListing(); }));
    Form5->close();  // most likely in the middle of the pass
    Form5->show();
    waitForReader();
    ASSERT_EQ(Form5->FileListBox1->count(), 400);
    for (int row = 0; row < 400; ++row)
        EXPECT_TRUE(Form5->FileListBox1->isConverted(row)) << row;

    // A game already in the playlist, by the same file, is not added again.
    Form3->ListBox2->clear();
    Form3->ListBox2->addItem(composeEntry("GAME 0", "G000.GB"));
    {
        ModalAnswerer notice(pressOk);
        Form5->Label8Click(Form5->Label8);
        waitFor([] { return !Form5->isAdding(); });
        EXPECT_EQ(notice.seenText(), "1 game already in the list was not added again.");
    }
    const QStringList playlist = vantorix::listItems(Form3->ListBox2);
    ASSERT_EQ(playlist.size(), 400);
    EXPECT_EQ(playlist.last(), composeEntry("GAME 399", "G399.GB"));

    // Completion of folder names, the window answering all along.
    Form5->show();
    waitForReader();
    QElapsedTimer sinceTick;
    qint64 longestPause = 0;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] { longestPause = qMax(longestPause, sinceTick.restart()); });
    const auto offered = [](const QString &typed) {
        Form5->Edit1->setFocus();
        Form5->Edit1->clear();
        QTest::keyClicks(Form5->Edit1, typed);
        QStringList names;
        waitFor([&] {
            names.clear();
            QAbstractItemModel *model = Form5->Edit1->completer()->model();
            for (int row = 0; row < model->rowCount(); ++row)
                names.append(model->index(row, 0).data().toString());
            return !names.isEmpty() && names.first().startsWith(typed);
        });
        return names;
    };
    sinceTick.start();
    ticker.start();
    EXPECT_TRUE(offered("/proc/").contains("/proc/self"));
    EXPECT_EQ(offered(folder + "/crowd/"), QStringList{folder + "/crowd/Sub One"});
    ticker.stop();
    EXPECT_LT(longestPause, 1000);

    // settings.ini a FIFO: the choice holds for this run, said once.
    const QString settings = vantorix::UserSettings::defaultPath();
    QDir().mkpath(QFileInfo(settings).path());
    QFile::remove(settings);
    ASSERT_EQ(::mkfifo(QFile::encodeName(settings).constData(), 0644), 0);
    {
        ModalAnswerer notice(pressOk);
        Form5->CheckBox2->setChecked(true);
        EXPECT_TRUE(notice.seenText().endsWith("cannot be written: your choice holds until the program ends."));
    }
    Form5->CheckBox2->setChecked(false);  // not said again
    EXPECT_FALSE(vantorix::UserSettings().namesFromDatabases());
    waitForReader();
    QFile::remove(settings);
}

}  // namespace
