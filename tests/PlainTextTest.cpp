// Text that comes from files and names is shown as plain text, cut where it
// would take seconds to lay out, and never read as markup that opens files.
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


TEST(PlainText, MarkupFromFilesNeverOpensAFile)
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
             startMainWindow();
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
             waitForReader();
             ASSERT_TRUE(Form5->DirectoryListBox1->openFolder(folder + "/roms"));
             waitForReader();
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

TEST(PlainText, HugeHelpLineShowsCutAndTheEditorCloses)
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


TEST(PlainText, PlainTextsNamedFilesAndByteOrderMarks)
{
    QTemporaryDir dir;
    const struct {
        int error;
        const char *text;
    } texts[] = {{EFBIG, "File too large"}, {ENXIO, "File access denied"}, {ELOOP, "Too many levels of symbolic links"}};
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
