// Files and folders anyone can hand the program: each ends in a clear
// message or a sound result, and nothing on disk changes unasked.
#include "app/ErrorBox.h"
#include "app/FilePath.h"
#include "app/Forms.h"
#include "app/GameListEntry.h"
#include "app/IoError.h"
#include "app/Unit1.h"
#include "catalogue/FileListing.h"
#include "catalogue/FolderBrowser.h"
#include "catalogue/HeaderPass.h"
#include "catalogue/RomFolder.h"
#include "catalogue/RomHeader.h"
#include "catalogue/RomScan.h"
#include "catalogue/Unit3.h"
#include "catalogue/Unit5.h"
#include "config/Configuration.h"
#include "config/TextFile.h"
#include "tests/TestSupport.h"
#include "windows/Unit2.h"

#include <QDir>
#include <QFile>
#include <QDateTime>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
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

// A snapshot of a folder's names, sizes and times, to show nothing changed.
QStringList folderState(const QString &folder)
{
    QStringList state;
    for (const QFileInfo &info : QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                             | QDir::NoDotAndDotDot, QDir::Name))
        state.append(QStringLiteral("%1 %2 %3").arg(info.fileName()).arg(info.size())
                         .arg(info.lastModified().toMSecsSinceEpoch()));
    return state;
}

// FIFOs with no writer: whoever opens one to read would wait for ever.
// The watch opens them for writing, which succeeds only while a reader
// waits: it counts that reader and lets it go on (it reads nothing).
class FifoWatch {
public:
    explicit FifoWatch(const QStringList &paths)
    {
        for (const QString &path : paths) {
            EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
            paths_.push_back(QFile::encodeName(path));
        }
        thread_ = std::thread([this] {
            while (!stop_) {
                for (const QByteArray &path : paths_) {
                    const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK);
                    if (fd >= 0) {
                        ++opened_;
                        ::close(fd);
                    }
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        });
    }
    ~FifoWatch()
    {
        stop_ = true;
        thread_.join();
    }
    int opened() const { return opened_; }

private:
    std::vector<QByteArray> paths_;
    std::atomic<bool> stop_{false};
    std::atomic<int> opened_{0};
    std::thread thread_;
};

void render(QWidget *window)
{
    window->show();
    QApplication::processEvents();
    window->grab();
}

void showToolTip(QWidget *widget)
{
    QToolTip::showText(widget->mapToGlobal(QPoint(1, 1)), widget->toolTip(), widget);
    QApplication::processEvents();
    QToolTip::hideText();
}

// The tool-tip a list shows for its first item, as when the pointer rests
// on it.
void showItemToolTip(QAbstractItemView *view)
{
    view->window()->show();
    const QRect item = view->visualRect(view->model()->index(0, 0));
    QHelpEvent event(QEvent::ToolTip, item.center(), view->viewport()->mapToGlobal(item.center()));
    QApplication::sendEvent(view->viewport(), &event);
    QApplication::processEvents();
    QToolTip::hideText();
}

TEST(HostileText, MarkupFromFilesNeverOpensAFile)
{
    QTemporaryDir dir;
    const QString folder = QDir(dir.path()).canonicalPath();
    CurrentFolderGuard currentFolder;
    QDir::setCurrent(folder);
    // Image sources resolve against the current folder, in either case.
    const QString markup = QStringLiteral("<img src=f>");
    FifoWatch watch({folder + "/f", folder + "/F"});

    // The watch itself: a label that guesses its format opens the FIFO.
    {
        QLabel guessing(markup);
        render(&guessing);
        ASSERT_GT(watch.opened(), 0) << "the FIFO watch sees no reader";
    }

    writeFile(folder + "/roms/" + markup + ".gb", romImage("<img src=f>"));
    QStringList interface(22, markup);
    interface.append({markup, markup});
    writeFile(folder + "/ui.txt", vantorix::encodeLines(interface));
    Configuration config;
    config.interfaceName = QStringLiteral("ui.txt");
    config.gamesDirectory = folder + "/" + markup;
    config.executables = {markup, markup, markup};
    config.displayNames = {markup, markup, markup};
    config.infoLines.fill(markup);
    config.gameList = {composeEntry(markup, markup), markup};
    const QString configFile = writeFile(folder + "/" + markup + ".cfg", vantorix::serializeConfiguration(config));

    FormsGuard forms;
    const struct {
        const char *way;
        std::function<void()> feed;
    } ways[] = {
        {"configuration, interface file and help lines", [&] {
             Form1->setStartupFile(configFile);  // loaded as the window shows
             render(Form1);
             ASSERT_EQ(Form1->interfaceName(), QStringLiteral("ui.txt"));
             for (QWidget *hinted : {static_cast<QWidget *>(Form1->Button3), static_cast<QWidget *>(Form1->Button4),
                                     static_cast<QWidget *>(Form1->Button5), static_cast<QWidget *>(Form1->Label6),
                                     static_cast<QWidget *>(Form1->Edit1)})
                 showToolTip(hinted);
             Form2->Panel1->setVisible(true);
             render(Form2);
             Form2->hide();
         }},
        {"game list entry, selection line and its tool-tips", [&] {
             Form1->ComboBox1->setCurrentIndex(0);
             Form1->ComboBox1Change(Form1->ComboBox1);
             render(Form1);
             showToolTip(Form1->Label3);
             Form1->ComboBox1->showPopup();
             showItemToolTip(Form1->ComboBox1->view());
             Form1->ComboBox1->hidePopup();
             render(Form3);
             showItemToolTip(Form3->ListBox1);
             Form3->hide();
         }},
        {"ROM file name and the ROMS reader", [&] {
             Form5->show();
             ASSERT_TRUE(Form5->DirectoryListBox1->openFolder(folder + "/roms"));
             render(Form5);
             showItemToolTip(Form5->FileListBox1);
             Form5->hide();
         }},
        {"error box naming a file", [&] {
             ModalAnswerer box([](QWidget *w) {
                 render(w);
                 pressOk(w);
             });
             vantorix::reportError("File not found", folder + "/" + markup);
         }},
    };
    for (const auto &way : ways) {
        const int before = watch.opened();
        way.feed();
        EXPECT_EQ(watch.opened(), before) << way.way;
    }
}

TEST(HostileText, HugeHelpLineShowsCutAndTheEditorCloses)
{
    QTemporaryDir dir;
    FormsGuard forms;
    const QString line = QString(5 * 1000 * 1000, QLatin1Char('h')) + QStringLiteral("END");
    Form3->setHelpLines({line, "second"});
    EXPECT_EQ(Form3->helpLines(), QStringList({line, "second"}));  // what is kept is whole
    render(Form3);
    EXPECT_TRUE(Form3->Memo1->toPlainText().startsWith("hhhh"));
    EXPECT_TRUE(Form3->Memo1->toPlainText().endsWith(QString(QChar(0x2026)) + "\nsecond"));
    Form3->Label5Click(Form3->Label5);
    EXPECT_FALSE(Form3->isVisible());
}

TEST(HostileConfiguration, HugeLinesManyLinesNulAndBrokenUtf8)
{
    QTemporaryDir dir;
    FormsGuard forms;

    // 60 MB in one line: it is line 1, a comment; every field is empty.
    const QString huge = writeFile(dir.filePath("huge.cfg"), QByteArray(60 * 1024 * 1024, 'A'));
    Form1->Edit1->setText("before");
    EXPECT_TRUE(Form1->loadConfigurationFile(huge));
    EXPECT_TRUE(Form1->Edit1->text().isEmpty());
    EXPECT_EQ(Form1->ComboBox1->count(), 0);
    // 100 MB: refused before it is read, with the file's name.
    writeFile(huge, QByteArray(100 * 1024 * 1024, 'A'));
    {
        ModalAnswerer box(pressOk);
        EXPECT_FALSE(Form1->loadConfigurationFile(huge));
        EXPECT_EQ(box.seenText(), QStringLiteral("File too large."));
    }

    // A million entry lines: the first 680 are the game list.
    QByteArray many = vantorix::serializeConfiguration(Configuration());
    many.reserve(many.size() + 1000000 * 8);
    for (int i = 0; i < 1000000; ++i)
        many += QByteArray::number(i) + "\r\n";
    const QString manyFile = writeFile(dir.filePath("many.cfg"), many);
    {
        ModalAnswerer notice(pressOk);  // how many were left out
        EXPECT_TRUE(Form1->loadConfigurationFile(manyFile));
    }
    EXPECT_EQ(Form1->ComboBox1->count(), vantorix::kPlaylistLimit);
    EXPECT_EQ(Form1->ComboBox1->itemText(679), QStringLiteral("679"));

    // NUL bytes are characters like any other and survive a round trip.
    Configuration withNul;
    withNul.gamesDirectory = QString::fromLatin1("/roms\0/x", 8);
    withNul.gameList = {QString::fromLatin1("A\0B", 3)};
    const Configuration readBack = vantorix::parseConfiguration(vantorix::serializeConfiguration(withNul));
    EXPECT_EQ(readBack, withNul);

    // Bytes that are not UTF-8 are read as Windows-1252, never dropped.
    Configuration marked;
    marked.gamesDirectory = QStringLiteral("MARK");
    QByteArray broken = vantorix::serializeConfiguration(marked);
    broken.replace("MARK", "C:\\Giochi\\Citt\xE0\xFF\x80");
    EXPECT_EQ(vantorix::parseConfiguration(broken).gamesDirectory,
              QString::fromUtf8("C:\\Giochi\\Citt\u00E0\u00FF\u20AC"));
    EXPECT_EQ(folderState(dir.path()).size(), 2);
}

TEST(HostileConfiguration, DirectoriesAndOddNodesWhereFilesBelong)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("folder.cfg");
    for (const QString &path : {dir.filePath("folder.cfg"), QStringLiteral("/dev/null"),
                                QStringLiteral("/proc/self/mem")}) {
        try {
            vantorix::readWholeFile(path);
            ADD_FAILURE() << "read " << path.toStdString();
        } catch (const IoError &error) {
            EXPECT_FALSE(error.text().isEmpty());
        }
    }
    // A link to itself cannot be followed.
    const QString loop = dir.filePath("loop.cfg");
    ASSERT_EQ(::symlink("loop.cfg", QFile::encodeName(loop).constData()), 0);
    try {
        vantorix::readWholeFile(loop);
        ADD_FAILURE();
    } catch (const IoError &error) {
        EXPECT_EQ(error.text(), QStringLiteral("Invalid filename"));
    }
    try {
        vantorix::writeFileAtomically(loop, "x");
        ADD_FAILURE();
    } catch (const IoError &error) {
        EXPECT_EQ(error.text(), QStringLiteral("Invalid filename"));
    }
    EXPECT_TRUE(QFileInfo(loop).isSymLink());

    // Saving through links writes the file they name and keeps the links.
    const QString link = dir.filePath("link.cfg");
    const QString dangling = dir.filePath("dangling.cfg");
    writeFile(dir.filePath("real.cfg"), "old");
    ASSERT_EQ(::symlink("real.cfg", QFile::encodeName(link).constData()), 0);
    ASSERT_EQ(::symlink("new.cfg", QFile::encodeName(dangling).constData()), 0);
    vantorix::writeFileAtomically(link, "saved");
    vantorix::writeFileAtomically(dangling, "created");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(QFileInfo(dangling).isSymLink());
    EXPECT_EQ(readFile(dir.filePath("real.cfg")), QByteArray("saved"));
    EXPECT_EQ(readFile(dir.filePath("new.cfg")), QByteArray("created"));
}

TEST(HostileFolder, VanishingUnreadableAndLoopingFiles)
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

TEST(HostileFolder, BrowserOverLinkLoopsAndOddNames)
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
    Form5->show();
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
    EXPECT_EQ(Form5->FileListBox1->count(), 4);
    EXPECT_EQ(folderState(folder), before);
}

TEST(HostileFolder, HundredThousandFiles)
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
    Form5->show();
    ASSERT_EQ(Form5->FileListBox1->count(), 100000);
    EXPECT_EQ(Form5->FileListBox1->item(0)->text(), composeEntry("MANY", "G000000.GB"));
    EXPECT_EQ(Form5->FileListBox1->item(99999)->text(), composeEntry("MANY", "G099999.GB"));
    EXPECT_EQ(Form5->windowTitle(), QStringLiteral("ROMS reader"));

    // Add all, then Ok! over the limit: a message, and the game list is kept.
    Form1->ComboBox1->addItem("kept");
    Form3->show();
    Form5->Label8Click(Form5->Label8);
    EXPECT_EQ(Form3->ListBox2->count(), 100000);
    ModalAnswerer notice(pressOk, 30000);  // 100,000 items first, on a loaded machine
    Form3->Label6Click(Form3->Label6);
    EXPECT_EQ(notice.seenText(), QStringLiteral(" Max ROMs for the playlist: 680"));
    EXPECT_EQ(vantorix::listItems(Form1->ComboBox1), QStringList{"kept"});
}

}  // namespace

namespace {

// Creates a file by its bytes (names that are not UTF-8 included).
void createRaw(const QByteArray &path, const QByteArray &bytes)
{
    const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << path.constData();
    ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
    ::close(fd);
}

TEST(HostileFolder, FoldersReadByDescriptorAndNamesThatAreNotUtf8)
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
    Form5->show();
    ASSERT_TRUE(Form5->DirectoryListBox1->openFolder(deja));
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

TEST(HostileFolder, ListedButNotEnteredIsAnErrorNamingIt)
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
        const int scanned = vantorix::scanFolder(locked, "*.gb", sink, sink);
        std::fclose(sink);
        return scanned == 2 ? 0 : 3;
    });
    if (status >= 0) {
        EXPECT_EQ(status, 0);
    }
}

TEST(HostileSave, OwnersFoldersWithoutWriteRightAndLongNames)
{
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                          | QFile::ExeOther);
    // Saved by root, another user's file stays theirs.
    const QString theirs = writeFile(dir.filePath("theirs.cfg"), "old");
    ASSERT_EQ(::chown(QFile::encodeName(theirs).constData(), 65534, 65534), 0);
    vantorix::writeFileAtomically(theirs, "new");
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(theirs).constData(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
    EXPECT_EQ(readFile(theirs), QByteArray("new"));

    // The user may write the file but not its folder: saved in place.
    const int status = runUnprivileged([&] {
        try {
            vantorix::writeFileAtomically(theirs, "saved by its owner");
        } catch (const IoError &) {
            return 1;
        }
        return 0;
    });
    if (status >= 0) {
        EXPECT_EQ(status, 0);
        EXPECT_EQ(readFile(theirs), QByteArray("saved by its owner"));
    }

    // A name of 250 characters leaves no room for a suffix.
    const QString longName = dir.filePath(QString(246, QLatin1Char('n')) + ".cfg");
    vantorix::writeFileAtomically(longName, "long");
    vantorix::writeFileAtomically(longName, "longer");
    EXPECT_EQ(readFile(longName), QByteArray("longer"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST(HostileMessages, PlainTextsNamedFilesAndByteOrderMarks)
{
    QTemporaryDir dir;
    const struct {
        int error;
        const char *text;
    } texts[] = {{EFBIG, "File too large"}, {ENXIO, "File access denied"}, {ELOOP, "Invalid filename"}};
    for (const auto &t : texts)
        EXPECT_EQ(IoError::fromErrno(t.error).text(), QString::fromLatin1(t.text));

    // A socket where a configuration should be.
    const QString socketPath = dir.filePath("socket.cfg");
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, QFile::encodeName(socketPath).constData(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    FormsGuard forms;
    QString shownFile;
    {
        ModalAnswerer box([&](QWidget *w) {
            shownFile = qobject_cast<QMessageBox *>(w)->informativeText();
            pressOk(w);
        });
        EXPECT_FALSE(Form1->loadConfigurationFile(socketPath));
        EXPECT_EQ(box.seenText(), QStringLiteral("File access denied."));
    }
    ::close(sock);
    EXPECT_EQ(shownFile.remove(QChar(0x200B)), socketPath);  // breakable after each "/"

    // UTF-16 files, as some editors save them.
    Configuration config;
    config.gamesDirectory = QString::fromUtf8("/jeux/été");
    config.gameList = {composeEntry("TETRIS", "TETRIS.GB")};
    const QString text = QString::fromUtf8(vantorix::serializeConfiguration(config));
    for (const auto encoding : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
        QStringEncoder withMark(encoding, QStringConverter::Flag::WriteBom);
        EXPECT_EQ(vantorix::parseConfiguration(withMark.encode(text)), config);
    }

    // No field cuts a value; one longer than any path is shown cut,
    // read-only, and saved whole.
    config.gamesDirectory = QString(40000, QLatin1Char('d'));
    config.executables[0] = QString(3000, QLatin1Char('e'));
    Form1->applyConfiguration(config);
    EXPECT_EQ(Form1->configuration(), config);
    EXPECT_TRUE(Form1->Edit1->isReadOnly());
    EXPECT_FALSE(Form1->Edit2->isReadOnly());
    EXPECT_EQ(Form1->Edit2->text().size(), 3000);
    Form1->Edit1->setText("/typed");
    EXPECT_EQ(Form1->configuration().gamesDirectory, QStringLiteral("/typed"));
}

}  // namespace
