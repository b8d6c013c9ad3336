// Files and folders anyone can hand the program: each ends in a clear
// message or a sound result, and nothing on disk changes unasked.
#include "app/Forms.h"
#include "app/GameListEntry.h"
#include "app/IoError.h"
#include "app/Unit1.h"
#include "catalogue/FileListing.h"
#include "catalogue/FolderBrowser.h"
#include "catalogue/HeaderPass.h"
#include "catalogue/RomHeader.h"
#include "catalogue/Unit3.h"
#include "catalogue/Unit5.h"
#include "config/Configuration.h"
#include "config/TextFile.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QDateTime>
#include <QFileInfo>
#include <QMessageBox>

#include <gtest/gtest.h>

#include <sys/stat.h>
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

TEST(HostileConfiguration, HugeLinesManyLinesNulAndBrokenUtf8)
{
    QTemporaryDir dir;
    FormsGuard forms;

    // 100 MB in one line: it is line 1, a comment; every field is empty.
    const QString huge = writeFile(dir.filePath("huge.cfg"), QByteArray(100 * 1024 * 1024, 'A'));
    Form1->Edit1->setText("before");
    EXPECT_TRUE(Form1->loadConfigurationFile(huge));
    EXPECT_TRUE(Form1->Edit1->text().isEmpty());
    EXPECT_EQ(Form1->ComboBox1->count(), 0);

    // A million entry lines: the first 680 are the game list.
    QByteArray many = vantorix::serializeConfiguration(Configuration());
    many.reserve(many.size() + 1000000 * 8);
    for (int i = 0; i < 1000000; ++i)
        many += QByteArray::number(i) + "\r\n";
    const QString manyFile = writeFile(dir.filePath("many.cfg"), many);
    EXPECT_TRUE(Form1->loadConfigurationFile(manyFile));
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

    // Without the right to read it, the pass stops with the platform's text.
    const int status = runUnprivileged([&] {
        vantorix::TextEntryList unreadable;
        unreadable.items = {"secret.gb"};
        try {
            vantorix::runHeaderPass(unreadable, dir.path());
        } catch (const vantorix::HeaderPassError &error) {
            return error.text() == QStringLiteral("File access denied") ? 0 : 1;
        }
        return 2;
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
    ModalAnswerer notice(pressOk);
    Form3->Label6Click(Form3->Label6);
    EXPECT_EQ(notice.seenText(), QStringLiteral(" Max ROMs for the playlist: 680"));
    EXPECT_EQ(vantorix::listItems(Form1->ComboBox1), QStringList{"kept"});
}

}  // namespace
