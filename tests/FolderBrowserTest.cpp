// Folders anyone can hand the ROMS reader: each ends in a clear message or a
// sound list, and nothing on disk changes unasked.
#include "widgets/ErrorBox.h"
#include "platform/FilePath.h"
#include "app/Forms.h"
#include "rom/GameListEntry.h"
#include "platform/IoError.h"
#include "app/Unit1.h"
#include "rom/FileListing.h"
#include "widgets/FolderBrowser.h"
#include "reading/HeaderPass.h"
#include "rom/RomFolder.h"
#include "rom/RomHeader.h"
#include "reading/RomScan.h"
#include "catalogue/Unit3.h"
#include "catalogue/Unit5.h"
#include "settings/Configuration.h"
#include "settings/TextFile.h"
#include "tests/WindowTestSupport.h"
#include "windows/Unit2.h"

#include <QDir>
#include <QFile>
#include <QDateTime>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryFile>
#include <QStringEncoder>
#include <QToolTip>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace testing_support;
using vantorix::composeEntry;
using vantorix::Configuration;
using vantorix::IoError;

namespace {

TEST(FolderBrowser, VanishingUnreadableAndLoopingFiles)
{
    QTemporaryDir dir;
    // Others may enter the folder, so only the file's own rights refuse.
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                          | QFile::ReadOther | QFile::ExeOther);
    writeFile(dir.filePath("a.gb"), romImage("ALPHA"));
    writeFile(dir.filePath("gone.gb"), romImage("GONE"));
    const QString secret = writeFile(dir.filePath("secret.gb"), romImage("SECRET"));
    QFile::setPermissions(secret, QFile::WriteOwner);
    ASSERT_EQ(::symlink("self.gb", QFile::encodeName(dir.filePath("self.gb")).constData()), 0);
    ASSERT_EQ(::symlink("..", QFile::encodeName(dir.filePath("up.gb")).constData()), 0);

    const QStringList listed = vantorix::listMatchingFiles(dir.path(), "*.gb");
    EXPECT_EQ(listed, QStringList({"a.gb", "gone.gb", "secret.gb"}));

    // Removed between listing and reading: it stays a name, no error.
    QFile::remove(dir.filePath("gone.gb"));
    vantorix::TextEntryList names;
    names.items = {"a.gb", "gone.gb", "self.gb"};
    vantorix::runHeaderPass(names, dir.path());
    EXPECT_EQ(names.items, QStringList({composeEntry("ALPHA", "A.GB"), "gone.gb", "self.gb"}));

    // Without the right to read it, the pass reports it with the platform's text.
    const int status = runUnprivileged([&] {
        vantorix::TextEntryList unreadable;
        unreadable.items = {"secret.gb"};
        const auto failures = vantorix::runHeaderPass(unreadable, dir.path());
        if (failures.size() != 1)
            return 2;
        return failures[0].error.text() == QStringLiteral("File access denied") ? 0 : 1;
    });
    if (status >= 0) {
        EXPECT_EQ(status, 0);
    }
}

TEST(FolderBrowser, BrowserOverLinkLoopsAndOddNames)
{
    QTemporaryDir dir;
    const QString folder = QDir(dir.path()).canonicalPath();
    const QStringList odd = {"new\nline.gb", "quo\"te's.gb", "semi;colon $(x).gb", QString::fromUtf8("città.gb")};
    for (const QString &name : odd)
        writeFile(folder + "/" + name, romImage("ODD"));
    ASSERT_EQ(::symlink("loop", QFile::encodeName(folder + "/loop").constData()), 0);
    ASSERT_EQ(::symlink(".", QFile::encodeName(folder + "/here").constData()), 0);
    const QStringList before = folderState(folder);

    CurrentFolderGuard currentFolder;
    QDir::setCurrent(folder);
    FormsGuard forms;
    Form1->Edit1->setText(folder);
    Form5->show();
    waitForReader();
    QStringList entries = vantorix::listItems(Form5->FileListBox1);
    ASSERT_EQ(entries.size(), 4);
    for (const QString &entry : entries)
        EXPECT_TRUE(entry.startsWith("ODD ")) << entry.toStdString();
    EXPECT_TRUE(entries.contains(composeEntry("ODD", QString::fromUtf8("CITTÀ.GB"))));
    EXPECT_TRUE(entries.contains(composeEntry("ODD", "QUO\"TE'S.GB")));

    // The link to itself cannot be opened: reported, nothing moves.
    {
        ModalAnswerer box(pressOk);
        EXPECT_FALSE(Form5->DirectoryListBox1->openFolder(folder + "/loop"));
        EXPECT_TRUE(box.answered());
    }
    EXPECT_EQ(Form5->DirectoryListBox1->directory(), folder);
    // The link to the folder itself opens as a folder of its own name.
    EXPECT_TRUE(Form5->DirectoryListBox1->openFolder(folder + "/here/here/here"));
    waitForReader();
    EXPECT_EQ(Form5->FileListBox1->count(), 4);
    EXPECT_EQ(folderState(folder), before);
}

TEST(FolderBrowser, HundredThousandFiles)
{
    QTemporaryDir dir;
    const QString folder = QDir(dir.path()).canonicalPath();
    const QByteArray image = romImage("MANY", 0x180);
    for (int i = 0; i < 100000; ++i) {
        QFile file(folder + QStringLiteral("/G%1.GB").arg(i, 6, 10, QLatin1Char('0')));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(image);
    }
    CurrentFolderGuard currentFolder;
    QDir::setCurrent(folder);
    FormsGuard forms;
    Form1->Edit1->setText(folder);
    Form5->show();
    waitForReader();
    ASSERT_EQ(Form5->FileListBox1->count(), 100000);
    EXPECT_EQ(Form5->FileListBox1->item(0)->text(), composeEntry("MANY", "G000000.GB"));
    EXPECT_EQ(Form5->FileListBox1->item(99999)->text(), composeEntry("MANY", "G099999.GB"));
    EXPECT_EQ(Form5->windowTitle(), QStringLiteral("ROMS reader"));

    // Add all, then Ok! over the limit: a message, and the game list is kept.
    Form1->ComboBox1->addItem("kept");
    Form3->show();
    Form5->Label8Click(Form5->Label8);
    waitFor([] { return !Form5->isAdding(); });
    EXPECT_EQ(Form3->ListBox2->count(), 100000);
    ModalAnswerer notice(pressOk, 30000);  // 100,000 items first, on a loaded machine
    Form3->Label6Click(Form3->Label6);
    EXPECT_EQ(notice.seenText(), QStringLiteral(" Max ROMs for the playlist: 680"));
    EXPECT_EQ(vantorix::listItems(Form1->ComboBox1), QStringList{"kept"});
}


TEST(FolderBrowser, FoldersReadByDescriptorAndNamesThatAreNotUtf8)
{
    QTemporaryDir dir;
    const QString folder = QDir(dir.path()).canonicalPath();
    const QByteArray raw = QFile::encodeName(folder);
    CurrentFolderGuard currentFolder;

    // A folder opened for a pass is read whatever the current folder
    // becomes, and even after it was renamed.
    writeFile(folder + "/a/game.gb", romImage("ALPHA"));
    writeFile(folder + "/b/game.gb", romImage("BRAVO"));
    {
        const vantorix::RomFolder opened(folder + "/a");
        QDir::setCurrent(folder + "/b");
        ASSERT_TRUE(QDir().rename(folder + "/a", folder + "/moved"));
        vantorix::TextEntryList list;
        list.items = {"game.gb"};
        vantorix::runHeaderPass(list, opened);
        EXPECT_EQ(list.items, QStringList{composeEntry("ALPHA", "GAME.GB")});
    }

    // Latin-1 names, as unpacked from an old archive: listed, read, shown
    // with the Windows-1252 reading.
    ASSERT_EQ(::mkdir(raw + "/d\xe9ja", 0755), 0);
    createRaw(raw + "/d\xe9ja/caf\xe9.gb", romImage("CAFE"));
    createRaw(raw + "/d\xe9ja/new\nline.gb", romImage("NEWLINE"));
    const QString deja = vantorix::decodePath(raw + "/d\xe9ja");
    const QStringList names = vantorix::listMatchingFiles(deja, "*.gb");
    ASSERT_EQ(names.size(), 2);
    EXPECT_EQ(vantorix::encodePath(names.at(0)), QByteArray("caf\xe9.gb"));
    EXPECT_EQ(vantorix::displayPath(names.at(0)), QString::fromUtf8("café.gb"));
    vantorix::TextEntryList list;
    list.items = names;
    vantorix::runHeaderPass(list, deja);
    EXPECT_EQ(list.items.at(0), composeEntry("CAFE", QString::fromUtf8("CAFÉ.GB")));

    // --scan prints them, a line feed in a name as "?".
    const pid_t child = ::fork();
    if (child == 0) {
        if (!std::freopen((raw + "/scan.txt").constData(), "w", stdout))
            ::_exit(100);
        ::execl(KELPAD_PATH, "kelpad", "--scan", (raw + "/d\xe9ja").constData(), static_cast<char *>(nullptr));
        ::_exit(101);
    }
    int scanned = -1;
    ::waitpid(child, &scanned, 0);
    EXPECT_EQ(scanned, 0);
    EXPECT_EQ(QString::fromUtf8(readFile(folder + "/scan.txt")),
              composeEntry("CAFE", QString::fromUtf8("CAFÉ.GB")) + "\n" + composeEntry("NEWLINE", "NEW?LINE.GB") + "\n");

    // The ROMS reader enters such a folder and reads its files.
    QDir::setCurrent(folder);
    FormsGuard forms;
    Form1->Edit1->setText(deja);
    Form5->show();
    waitForReader();
    ASSERT_TRUE(Form5->DirectoryListBox1->openFolder(deja));
    waitForReader();
    EXPECT_EQ(vantorix::listItems(Form5->FileListBox1).at(0), composeEntry("CAFE", QString::fromUtf8("CAFÉ.GB")));
    EXPECT_EQ(Form5->DirectoryListBox1->currentItem()->text().trimmed(), QString::fromUtf8("déja"));

    // A configuration file of such a name loads.
    Configuration config;
    config.gamesDirectory = QStringLiteral("/from/latin1");
    createRaw(raw + "/caf\xe9.cfg", vantorix::serializeConfiguration(config));
    EXPECT_TRUE(Form1->loadConfigurationFile(vantorix::decodePath(raw + "/caf\xe9.cfg")));
    EXPECT_EQ(Form1->Edit1->text(), QStringLiteral("/from/latin1"));

    // The temporary folder's own removal reads names as UTF-8.
    for (const char *name : {"/d\xe9ja/caf\xe9.gb", "/d\xe9ja/new\nline.gb", "/caf\xe9.cfg"})
        ::unlink((raw + name).constData());
    ::rmdir((raw + "/d\xe9ja").constData());
}

TEST(FolderBrowser, ListedButNotEnteredIsAnErrorNamingIt)
{
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                          | QFile::ExeOther);
    const QString locked = dir.filePath("locked");
    writeFile(locked + "/game.gb", romImage("HIDDEN"));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther);
    const int status = runUnprivileged([&] {
        try {
            vantorix::RomFolder opened(locked);
            return 1;
        } catch (const IoError &error) {
            if (error.code() != IoError::AccessDenied)
                return 2;
        }
        FILE *sink = std::fopen("/dev/null", "w");
        const int scanned = vantorix::scanFolder(locked, "*.gb", {}, sink, sink);
        std::fclose(sink);
        return scanned == 2 ? 0 : 3;
    });
    if (status >= 0) {
        EXPECT_EQ(status, 0);
    }
}


}  // namespace

namespace {

// A collection in folders, scanned in one step: each file once, with its
// path below the folder as entries write it, every bound kept and every
// folder left out named.
TEST(ScanCommand, SubfoldersInOneStepWithinBounds)
{
    QTemporaryDir dir;
    const QString tree = QDir(dir.path()).canonicalPath();
    QFile::setPermissions(tree, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                    | QFile::ExeOther);
    const struct {
        QString file;
        QByteArray title;
        QString entryName;  // empty: not listed
    } rows[] = {
        // In the order listed: by path, letter case ignored, then by bytes.
        {QString("d/").repeated(32) + "deepest.gb", "DEEPEST", "D/" + QString("D/").repeated(31) + "DEEPEST.GB"},
        {"Sports/Tennis/tennis.gb", "TENNIS", "SPORTS/TENNIS/TENNIS.GB"},
        {"SUB/Zelda.gb", "ZELDA UPPER", "SUB/Zelda.gb"},  // files alike but for case
        {"SUB/zelda.gb", "ZELDA LOWER", "SUB/zelda.gb"},
        {"top.gb", "TOP", "TOP.GB"},
        {"Twin/a.gb", "TWIN LOWER", "Twin/A.GB"},  // folders alike but for case
        {"TWIN/b.gb", "TWIN UPPER", "TWIN/B.GB"},
        {"with space/my game.gb", "SPACE", "WITH SPACE/MY GAME.GB"},
        {".hidden/x.gb", "HIDDEN", ""},
        {"locked/y.gb", "LOCKED", ""},
        {QString("d/").repeated(33) + "deep.gb", "DEEP", ""},  // 33 folders down
    };
    QStringList expected;
    for (const auto &r : rows) {
        writeFile(tree + "/" + r.file, romImage(r.title));
        if (!r.entryName.isEmpty())
            expected.append(composeEntry(r.title, r.entryName));
    }
    QFile::setPermissions(tree + "/locked", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Links back up and sideways: every folder is walked once.
    ASSERT_EQ(::symlink("..", QFile::encodeName(tree + "/Sports/up").constData()), 0);
    ASSERT_EQ(::symlink("Tennis", QFile::encodeName(tree + "/Sports/Again").constData()), 0);
    // Opened here: nobody may not write in the tree.
    QTemporaryFile out;
    QTemporaryFile err;
    ASSERT_TRUE(out.open() && err.open());
    // What "kelpad --scan TREE --subfolders" runs, as nobody; in this
    // process, since nobody may not reach the build.
    const int status = runUnprivileged([&] {
        FILE *outFile = ::fdopen(::dup(out.handle()), "w");
        FILE *errFile = ::fdopen(::dup(err.handle()), "w");
        if (!outFile || !errFile)
            return 102;
        vantorix::ListingScope scope;
        scope.subfolders = true;
        const int scanned = vantorix::scanFolder(tree, "*.gb", scope, outFile, errFile);
        std::fclose(outFile);
        std::fclose(errFile);
        return scanned;
    });
    if (status < 0)
        GTEST_SKIP() << "cannot run as nobody";
    EXPECT_EQ(status, 1);
    EXPECT_EQ(QString::fromUtf8(readFile(out.fileName())).split('\n', Qt::SkipEmptyParts), expected);
    EXPECT_EQ(QString::fromUtf8(readFile(err.fileName())),
              tree + "/" + QString("d/").repeated(32) + "d: more than 32 folders deep\n" + tree
                  + "/locked: File access denied\n");

    // Without the option, the folder alone, as before.
    QProcess scan;
    scan.start(KELPAD_PATH, {"--scan", tree});
    ASSERT_TRUE(scan.waitForFinished(10000));
    EXPECT_EQ(QString::fromUtf8(scan.readAllStandardOutput()), composeEntry("TOP", "TOP.GB") + "\n");

    // No more files than the bound, the same ones each time.
    vantorix::ListingScope scope;
    scope.subfolders = true;
    scope.maxFiles = 3;
    const vantorix::RomListing cut = vantorix::listRoms(vantorix::RomFolder(tree), "*.gb", scope);
    EXPECT_TRUE(cut.cutShort);
    EXPECT_EQ(cut.paths.size(), 3u);
    EXPECT_EQ(vantorix::listRoms(vantorix::RomFolder(tree), "*.gb", scope).paths, cut.paths);
}

}  // namespace
