// The main window's selection and launch, on the real window.
#include "platform/FilePath.h"
#include "app/FmxUtils.h"
#include "app/Forms.h"
#include "rom/GameListEntry.h"
#include "widgets/GameListBox.h"
#include "widgets/ScaledPictures.h"
#include "platform/Translations.h"
#include "reading/DetailToolTips.h"
#include "app/Unit1.h"
#include "reading/Catalogue.h"
#include "names/GameDatabase.h"
#include "catalogue/Unit3.h"
#include "settings/Configuration.h"
#include "catalogue/Unit5.h"
#include "samples/ArchiveMaker.h"
#include "tests/WindowTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QMessageBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFileDialog>
#include <QAbstractItemView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QUrl>
#include <QShortcut>
#include <QToolTip>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QBuffer>
#include <QImage>
#include <QScreen>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

using namespace testing_support;
using vantorix::composeEntry;

namespace {

class Launch : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        recorder = dir.filePath("bin/recorder with space");
        // Writes its arguments, each ended by a NUL byte, then lingers.
        writeFile(recorder, QByteArray("#!/bin/sh\nprintf '%s\\0' \"$@\" > \"$0.args.tmp\"\n"
                                       "mv \"$0.args.tmp\" \"$0.args\"\nsleep 2\ntouch \"$0.done\" 2>/dev/null\n"));
        QFile::setPermissions(recorder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        Form1->Edit3->setText(recorder);
        // Only a file that is there is started: the games directory holds
        // the game most tests choose.
        writeFile(dir.filePath("A.GB"), "x");
        Form1->Edit1->setText(dir.path());
    }

    // The arguments the recorder received as bytes, or nothing after the
    // timeout.
    QList<QByteArray> recordedBytes(const QString &program, int timeoutMs = 5000)
    {
        const QString file = program + ".args";
        waitFor([&] { return QFile::exists(file); }, timeoutMs);
        QByteArray bytes = readFile(file);
        QFile::remove(file);
        if (bytes.isEmpty())
            return {};
        bytes.chop(1);
        return bytes.split('\0');
    }

    QStringList recorded(const QString &program, int timeoutMs = 5000)
    {
        QStringList args;
        for (const QByteArray &arg : recordedBytes(program, timeoutMs))
            args.append(QString::fromUtf8(arg));
        return args;
    }

    void choose(const QString &text)
    {
        Form1->ComboBox1->addItem(text);
        Form1->ComboBox1->setCurrentIndex(Form1->ComboBox1->count() - 1);
        Q_EMIT Form1->ComboBox1->activated(Form1->ComboBox1->currentIndex());
    }

    FormsGuard forms;
    QTemporaryDir dir;
    QString recorder;
};

TEST_F(Launch, SelectionLineAndLaunchLink)
{
    EXPECT_EQ(Form1->Label3->text(), QStringLiteral("(No game selected)"));
    EXPECT_FALSE(Form1->Label8->isEnabled());  // nothing chosen yet

    choose(composeEntry("TETRIS", "TETRIS.GB"));
    EXPECT_EQ(Form1->Label3->text(), QStringLiteral("--> TETRIS.GB  "));
    EXPECT_EQ(Form1->romKey(), QStringLiteral("TETRIS.GB  "));
    EXPECT_TRUE(Form1->Label8->isEnabled());

    choose(QString());
    EXPECT_EQ(Form1->Label3->text(), QStringLiteral("??"));
    EXPECT_FALSE(Form1->Label8->isEnabled());

    choose(composeEntry("", "USER.GB"));
    EXPECT_EQ(Form1->Label3->text(), QStringLiteral("Click on \"Launch\" and select a ROM."));
    EXPECT_TRUE(Form1->Label8->isEnabled());

    choose(composeEntry("", "user.gb"));
    EXPECT_EQ(Form1->Label3->text(), QStringLiteral("--> user.gb    "));
}

TEST_F(Launch, RomPathIsOneArgumentWithOneSeparator)
{
    const QString games = dir.filePath("my games");
    writeFile(games + "/TETRIS.GB", "x");
    choose(composeEntry("TETRIS", "TETRIS.GB"));

    Form1->Edit1->setText(games);
    Form1->Label8Click(Form1->Label8);
    EXPECT_EQ(recorded(recorder), QStringList{games + "/TETRIS.GB"});

    Form1->Edit1->setText(games + "/");
    Form1->Label8Click(Form1->Label8);
    EXPECT_EQ(recorded(recorder), QStringList{games + "/TETRIS.GB"});
}

TEST_F(Launch, NamesAreFoundWhateverTheirLetterCase)
{
    writeFile(dir.filePath("roms/Tetris DX.gbc"), "x");
    Form1->Edit1->setText(dir.filePath("roms"));
    choose(composeEntry("TETRIS DX", "TETRIS DX.GBC"));
    Form1->Label8Click(Form1->Label8);
    EXPECT_EQ(recorded(recorder), QStringList{dir.filePath("roms/Tetris DX.gbc")});

    // A name that matches no file is said to be missing, and nothing starts.
    choose(composeEntry("", "MISSING.GB"));
    ModalAnswerer box(pressOk);
    Form1->Label8Click(Form1->Label8);
    EXPECT_EQ(box.seenText(), "File not found: " + dir.filePath("roms/MISSING.GB") + ".");
    EXPECT_TRUE(recorded(recorder, 300).isEmpty());
}

TEST_F(Launch, EachSlotStartsItsOwnExecutable)
{
    const QString other = dir.filePath("bin/other");
    QFile::copy(recorder, other);
    QFile::setPermissions(other, QFile::ReadOwner | QFile::ExeOwner);
    Form1->Edit2->setText(other);
    Form1->Edit4->setText(other);
    choose(composeEntry("", "A.GB"));
    const QString rom = dir.filePath("A.GB");

    Form1->RadioButton1->setChecked(true);
    Form1->Label8Click(Form1->Label8);
    EXPECT_EQ(recorded(other), QStringList{rom});

    Form1->RadioButton2->setChecked(true);
    Form1->Label8Click(Form1->Label8);
    EXPECT_EQ(recorded(recorder), QStringList{rom});
    EXPECT_TRUE(recorded(other, 300).isEmpty());

    Form1->RadioButton3->setChecked(true);
    Form1->Label8Click(Form1->Label8);
    EXPECT_EQ(recorded(other), QStringList{rom});
}

TEST_F(Launch, LauncherDoesNotWaitForTheEmulator)
{
    choose(composeEntry("", "A.GB"));
    Form1->Label8Click(Form1->Label8);
    // The recorder lingers two seconds before it leaves its mark.
    EXPECT_FALSE(QFile::exists(recorder + ".done"));
    EXPECT_EQ(recorded(recorder), QStringList{dir.filePath("A.GB")});
}

TEST_F(Launch, ShellCharactersReachTheEmulatorAsText)
{
    // Run from the test's folder, a command in the name would leave a mark.
    CurrentFolderGuard folder;
    QDir::setCurrent(dir.path());
    const QString marker = dir.filePath("pwned");
    const QString name = QStringLiteral("A;touch pwned;$(touch pwned)`touch pwned`'\"|&.GB");
    writeFile(dir.filePath(name), "x");
    choose(composeEntry("", name));
    Form1->Label8Click(Form1->Label8);
    EXPECT_EQ(recorded(recorder), QStringList{dir.path() + "/" + name});
    EXPECT_FALSE(QFile::exists(marker));

    // A command line is split into words, never run by a shell.
    Form1->Edit3->setText(QStringLiteral("true; touch %1").arg(marker));
    ModalAnswerer box([](QWidget *w) { static_cast<QDialog *>(w)->accept(); });
    Form1->Label8Click(Form1->Label8);
    EXPECT_TRUE(box.answered());
    EXPECT_TRUE(box.seenText().startsWith("Cannot start \"true;\"")) << box.seenText().toStdString();
    EXPECT_FALSE(QFile::exists(marker));
}

TEST_F(Launch, ProgramPathWithShellCharactersIsAPath)
{
    // Run from the test's folder, a command in the name would leave a mark.
    CurrentFolderGuard folder;
    QDir::setCurrent(dir.path());
    const QString marker = dir.filePath("pwned");
    const QString program = dir.filePath(QStringLiteral("bin/emu;touch pwned $(touch pwned) 'q' \"d\""));
    ASSERT_TRUE(QFile::copy(recorder, program));
    QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner);
    Form1->Edit3->setText(program);
    writeFile(dir.filePath("B&B.GB"), "x");
    choose(composeEntry("", "B&B.GB"));
    Form1->Label8Click(Form1->Label8);
    EXPECT_EQ(recorded(program), QStringList{dir.path() + "/B&B.GB"});
    EXPECT_FALSE(QFile::exists(marker));
}

TEST_F(Launch, NothingStartsWithoutAChosenEntryOrExecutable)
{
    Form1->ComboBox1->addItem(composeEntry("", "A.GB"));
    Form1->ComboBox1->setCurrentIndex(-1);
    Form1->Label8Click(Form1->Label8);
    EXPECT_TRUE(recorded(recorder, 300).isEmpty());

    choose(composeEntry("", "A.GB"));
    Form1->Edit3->clear();
    Form1->Label8Click(Form1->Label8);  // no program: nothing, and no message
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(Launch, MissingEmulatorIsReported)
{
    Form1->Edit3->setText("no-such-emulator-here");
    choose(composeEntry("", "A.GB"));
    ModalAnswerer box([](QWidget *w) { static_cast<QDialog *>(w)->accept(); });
    Form1->Label8Click(Form1->Label8);
    EXPECT_EQ(box.seenText(), QStringLiteral("Cannot start \"no-such-emulator-here\": No such file or directory."));
}

TEST_F(Launch, UserSelectionAsksForTheRom)
{
    const QString chosen = writeFile(dir.filePath("picked/My Game.gbc"), "x");
    Form1->Edit1->setText(dir.filePath("picked"));
    choose(composeEntry("Choose", "USER.GB"));

    {
        ModalAnswerer dialog([&](QWidget *w) {
            auto *fileDialog = qobject_cast<QFileDialog *>(w);
            ASSERT_NE(fileDialog, nullptr);
            EXPECT_EQ(fileDialog->objectName(), QStringLiteral("OpenDialog2"));
            EXPECT_EQ(QDir(fileDialog->directory()).absolutePath(), dir.filePath("picked"));
            fileDialog->reject();
        });
        Form1->Label8Click(Form1->Label8);
        EXPECT_TRUE(dialog.answered());
    }
    EXPECT_TRUE(recorded(recorder, 300).isEmpty());
    EXPECT_EQ(Form1->Label3->text(), QStringLiteral("Click on \"Launch\" and select a ROM."));

    {
        ModalAnswerer dialog([&](QWidget *w) { acceptFileDialog(w, chosen); });
        Form1->Label8Click(Form1->Label8);
        EXPECT_TRUE(dialog.answered());
    }
    EXPECT_EQ(recorded(recorder), QStringList{chosen});
    EXPECT_EQ(Form1->Label3->text(), QStringLiteral("User selection: ") + chosen);
}

TEST_F(Launch, CommandLinesOptionLikeNamesAndNamesThatCannotBeHandedOver)
{
    // Recorders stand in for flatpak, retroarch, mgba-qt and an emulator in
    // a folder with a space.
    const QString bin = dir.filePath("path");
    for (const char *name : {"flatpak", "retroarch", "mgba-qt", "My Emu/emu"}) {
        QDir().mkpath(QFileInfo(bin + "/" + name).absolutePath());
        QFile::copy(recorder, bin + "/" + name);
    }
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin) + ":" + oldPath);
    struct RestorePath {
        QByteArray path;
        ~RestorePath() { qputenv("PATH", path); }
    } restore{oldPath};

    const QString games = dir.filePath("games");
    const QString rom = writeFile(games + "/Tetris.gb", "x");
    Form1->Edit1->setText(games);
    choose(composeEntry("TETRIS", "TETRIS.GB"));
    const struct {
        QString slot;
        QString recorder;
        QStringList arguments;
    } cases[] = {
        {"flatpak run io.mgba.mGBA", bin + "/flatpak", {"run", "io.mgba.mGBA", rom}},
        {"retroarch -L /usr/lib/x86_64-linux-gnu/libretro/gambatte_libretro.so", bin + "/retroarch",
         {"-L", "/usr/lib/x86_64-linux-gnu/libretro/gambatte_libretro.so", rom}},
        {"mgba-qt -f", bin + "/mgba-qt", {"-f", rom}},
        {"\"" + bin + "/My Emu/emu\" --rom=%ROM%", bin + "/My Emu/emu", {"--rom=" + rom}},
        {recorder, recorder, {rom}},  // a path with a space, as configurations hold it
    };
    for (const auto &c : cases) {
        Form1->Edit3->setText(c.slot);
        Form1->Label8Click(Form1->Label8);
        EXPECT_EQ(recorded(c.recorder), c.arguments) << c.slot.toStdString();
    }

    // An open quote is reported, naming the slot's text; nothing starts.
    Form1->Edit3->setText("flatpak run 'io.mgba");
    {
        ModalAnswerer box(pressOk);
        Form1->Label8Click(Form1->Label8);
        EXPECT_EQ(box.seenText(), QStringLiteral("The emulator's command line has a quote that is not closed."));
    }
    EXPECT_TRUE(recorded(bin + "/flatpak", 300).isEmpty());

    // With no games directory, a ROM named like an option reaches the
    // emulator as an absolute path.
    CurrentFolderGuard folder;
    QDir::setCurrent(games);
    writeFile(games + "/-o.gb", "x");
    Form1->Edit1->clear();
    Form1->Edit3->setText(recorder);
    choose(composeEntry("", "-O.GB"));
    Form1->Label8Click(Form1->Label8);
    EXPECT_EQ(recorded(recorder), QStringList{QDir::currentPath() + "/-o.gb"});

    // A name that is not UTF-8 is found, and handed over byte for byte.
    ::close(::open((QFile::encodeName(games) + "/caf\xe9.gb").constData(), O_CREAT | O_WRONLY, 0644));
    choose(composeEntry("", QString::fromUtf8("CAFÉ.GB")));
    Form1->Label8Click(Form1->Label8);
    EXPECT_EQ(recordedBytes(recorder), QList<QByteArray>{QFile::encodeName(games) + "/caf\xe9.gb"});
}

TEST_F(Launch, EveryActionHasItsKey)
{
    showMainWindow();
    // Shortcuts act in the active window, as the user's keys do.
    const auto pressed = [](QWidget *target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QApplication::setActiveWindow(target->window());
        QTest::keyClick(target, Qt::Key(key), modifiers);
    };
    // Each key opens its window, which the test closes.
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        const char *window;
    } opening[] = {
        {Qt::Key_S, Qt::ControlModifier, "SaveDialog"}, {Qt::Key_O, Qt::ControlModifier, "OpenDialog"},
        {Qt::Key_E, Qt::ControlModifier, "TForm3"},     {Qt::Key_I, Qt::ControlModifier, "TForm2"},
        {Qt::Key_F1, Qt::NoModifier, "TForm4"},        {Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier, "OpenDialog2"},
    };
    for (const auto &o : opening) {
        QString seen;
        ModalAnswerer answer([&](QWidget *w) {
            seen = w->objectName();
            if (seen == QLatin1String("TForm2") || seen == QLatin1String("TForm4")) {
                pressed(w, Qt::Key_Escape);  // Escape closes them as the close box does
                EXPECT_FALSE(w->isVisible()) << o.window;
            }
            rejectDialog(w);
        });
        // From a text field too, which takes Ctrl+E for its own editing.
        Form1->Edit1->setFocus();
        pressed(Form1->Edit1, o.key, o.modifiers);
        EXPECT_EQ(seen, QString::fromLatin1(o.window));
    }

    // Return in the game list launches.
    choose(composeEntry("", "A.GB"));
    pressed(Form1->ComboBox1, Qt::Key_Return);
    EXPECT_EQ(recorded(recorder), QStringList{dir.path() + "/A.GB"});

    // The playlist editor: Return and double click add, Delete and double
    // click remove, Escape keeps it open, Ctrl+Return is "Ok!".
    Form1->ComboBox1->clear();
    Form1->ComboBox1->addItems({"one", "two"});
    Form3->show();
    Form3->ListBox1->setCurrentRow(1);
    pressed(Form3->ListBox1, Qt::Key_Return);
    Q_EMIT Form3->ListBox1->itemDoubleClicked(Form3->ListBox1->item(1));
    EXPECT_EQ(vantorix::listItems(Form3->ListBox2), QStringList({"two", "two"}));
    Form3->ListBox2->setCurrentRow(0);
    pressed(Form3->ListBox2, Qt::Key_Delete);
    EXPECT_EQ(Form3->ListBox2->count(), 1);
    pressed(Form3, Qt::Key_Escape);
    EXPECT_TRUE(Form3->isVisible());
    pressed(Form3->ListBox2, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_FALSE(Form3->isVisible());
    EXPECT_EQ(vantorix::listItems(Form1->ComboBox1), QStringList{"two"});

    // Ctrl+Q reaches the exit action, which closes the main window once the
    // changed list is saved or given up.
    int quits = 0;
    for (QShortcut *shortcut : Form1->findChildren<QShortcut *>(Qt::FindDirectChildrenOnly))
        if (shortcut->key() == QKeySequence(Qt::CTRL | Qt::Key_Q))
            QObject::connect(shortcut, &QShortcut::activated, [&] { ++quits; });
    ModalAnswerer discard([](QWidget *box) { pressButton(box, QMessageBox::Discard); });
    pressed(Form1, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quits, 1);
    EXPECT_FALSE(Form1->isVisible());
}

TEST_F(Launch, DetailsAsToolTipsAndMissingGamesGreyed)
{
    const QString games = dir.filePath("games");
    const QString rom = games + "/Starhop.gb";
    QDir().mkpath(games);
    ASSERT_TRUE(QFile::copy(QStringLiteral(SAMPLES_DIR "/roms/STARHOP.GB"), rom));
    vantorix::Configuration config;
    config.gamesDirectory = games;
    config.gameList = {composeEntry("STAR HOPPER", "STARHOP.GB"), composeEntry("GONE", "MISSING.GB"),
                       composeEntry("", "USER.GB"), "   "};
    Form1->applyConfiguration(config);
    const auto missing = [] {
        QStringList marks;
        for (int i = 0; i < Form1->ComboBox1->count(); ++i)
            marks.append(Form1->ComboBox1->itemData(i, Qt::ToolTipRole).toString());
        return marks;
    };
    // Looked for off the window's thread.
    EXPECT_TRUE(waitFor([&] { return missing() == QStringList({"", "File not found: " + games + "/MISSING.GB", "", ""}); }))
        << missing().join('|').toStdString();
    EXPECT_TRUE(Form1->ComboBox1->itemData(1, Qt::ForegroundRole).isValid());

    // Resting on an entry of the open list reads its file's header.
    showMainWindow();
    Form1->ComboBox1->showPopup();
    QAbstractItemView *view = Form1->ComboBox1->view();
    const QRect first = view->visualRect(view->model()->index(0, 0));
    QHelpEvent rest(QEvent::ToolTip, first.center(), view->viewport()->mapToGlobal(first.center()));
    QApplication::sendEvent(view->viewport(), &rest);
    // Read off the window's thread, then shown; on a loaded machine the
    // offscreen platform may hide that first tip at once, so what is
    // checked is the reading, then the tip shown from it at the next rest.
    EXPECT_TRUE(waitFor([&] { return forms.catalogue().toolTips().cached(rom).has_value(); }));
    QToolTip::hideText();
    if (!view->isVisible())
        Form1->ComboBox1->showPopup();
    QApplication::sendEvent(view->viewport(), &rest);
    EXPECT_EQ(QToolTip::isVisible() ? QToolTip::text() : QString(),
              "STAR HOPPER\nGame Boy\nROM ONLY, ROM 32 KiB, RAM none\n" + rom);
    // Resting again finds it known: shown at once.
    QToolTip::hideText();
    QApplication::sendEvent(view->viewport(), &rest);
    EXPECT_TRUE(QToolTip::isVisible());
    Form1->ComboBox1->hidePopup();

    // The file removed: marked when the games directory is next confirmed.
    QFile::remove(rom);
    Q_EMIT Form1->Edit1->editingFinished();
    EXPECT_TRUE(waitFor([&] { return missing().at(0) == "File not found: " + games + "/STARHOP.GB"; }));

    // The directory gone (an unmounted drive): it is marked, no entry is.
    Form1->Edit1->setText(games + "/unmounted");
    Q_EMIT Form1->Edit1->editingFinished();
    EXPECT_TRUE(waitFor([&] { return missing() == QStringList(4, QString()); }));
    EXPECT_EQ(Form1->Edit1->toolTip(), "Folder not found: " + games + "/unmounted");
}

TEST(ShellRunFile, FindsBareNamesOnPath)
{
    EXPECT_FALSE(vantorix::findExecutable("sh").isEmpty());
    EXPECT_TRUE(vantorix::findExecutable("").isEmpty());
    QTemporaryDir dir;
    const QString document = writeFile(dir.filePath("notes.txt"), "text");
    QFile::setPermissions(document, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_TRUE(vantorix::findExecutable(document).isEmpty());  // not executable
    EXPECT_EQ(vantorix::findExecutable("/bin/sh"), QStringLiteral("/bin/sh"));
}

}  // namespace

namespace {

// Games in folders below the games directory, and two files whose names
// differ only in letter case: imported by the ROMS reader, kept through a
// save and a load, and each started as exactly its own file.
TEST_F(Launch, GamesInFoldersAndCaseTwinsThroughImportSaveAndLaunch)
{
    // Letter case never depends on the locale: run under Turkish's, whose
    // i and I differ from everyone else's, where it is installed.
    const QByteArray savedLocale = ::setlocale(LC_ALL, nullptr);
    const bool turkish = ::setlocale(LC_ALL, "tr_TR.UTF-8") != nullptr;
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    struct RestoreLocale {
        QByteArray saved;
        ~RestoreLocale()
        {
            ::setlocale(LC_ALL, saved.constData());
            QLocale::setDefault(QLocale::system());
        }
    } restoreLocale{savedLocale};
    if (!turkish)
        std::printf("tr_TR.UTF-8 is not installed: the Turkish rows run in the C locale\n");
    CurrentFolderGuard folder;  // the reader moves into the folders it lists

    const QString games = dir.filePath("games");
    const QString elsewhere = dir.filePath("elsewhere");
    // Each row: where the folder imported lies, the folder, its file, the
    // entry it gives. Outside the games directory an entry names its file
    // whole, as on disk but for the file's name.
    const struct {
        QString base;
        QString folder;
        QString file;
        QString title;
        QString entryName;
    } rows[] = {
        {games, "mono", "Alpha.gb", "ALPHA", "MONO/ALPHA.GB"},
        {games, "Twin", "a.gb", "TWIN LOWER", "Twin/A.GB"},       // folders alike but for case
        {games, "TWIN", "a.gb", "TWIN UPPER", "TWIN/A.GB"},
        {games, "sub", "Zelda.gb", "ZELDA UPPER", "SUB/Zelda.gb"},  // files alike in a subfolder
        {games, "sub", "zelda.gb", "ZELDA LOWER", "SUB/zelda.gb"},
        {games, "", QString::fromUtf8("kırmızı.gb"), "RED", "KIRMIZI.GB"},
        {games, "", "PONG.GB", "UPPER", "PONG.GB"},
        {games, "", "pong.gb", "LOWER", "pong.gb"},
        {elsewhere, "one", "tennis.gb", "TENNIS ONE", elsewhere + "/one/TENNIS.GB"},  // one name, two folders
        {elsewhere, "two", "Tennis.gb", "TENNIS TWIN", elsewhere + "/two/Tennis.gb"},
        {elsewhere, "two", "tennis.gb", "TENNIS TWO", elsewhere + "/two/tennis.gb"},
        {elsewhere, "Zipped Stuff", "river race.zip", "RIVER", elsewhere + "/Zipped Stuff/RIVER RACE.ZIP"},
    };
    QStringList folders;
    QStringList expectedEntries;
    QStringList files;
    for (const auto &r : rows) {
        QByteArray image = romImage(r.title.toLatin1());
        if (r.file.endsWith(".zip"))
            image = vantorix::makeArchive(vantorix::ArchiveFormat::ZipDeflated, {{"game.gb", image}});
        const QString folder = r.folder.isEmpty() ? r.base : r.base + "/" + r.folder;
        files.append(writeFile(folder + "/" + r.file, image));
        if (!folders.contains(folder))
            folders.append(folder);
        expectedEntries.append(composeEntry(r.title, r.entryName));
    }
    // The games directory named through a link and "..": compared resolved.
    ASSERT_EQ(::symlink(QFile::encodeName(games).constData(), QFile::encodeName(dir.filePath("link")).constData()), 0);
    Form1->Edit1->setText(dir.filePath("link/mono/.."));

    Form3->show();
    Form5->show();
    waitForReader();
    for (const QString &folder : folders) {
        ASSERT_TRUE(Form5->DirectoryListBox1->openFolder(folder));
        waitForReader();
        Form5->Label8Click(Form5->Label8);
        waitFor([] { return !Form5->isAdding(); });
        Form5->show();
        waitForReader();
    }
    Form5->hide();
    const QStringList imported = vantorix::listItems(Form3->ListBox2);
    EXPECT_EQ(imported, expectedEntries);
    Form3->Label6Click(Form3->Label6);

    // Each entry starts the file it was listed from: right after the
    // import, and after a save and a load from another current folder.
    const auto launchEach = [&] {
        Form1->markMissingGames();
        for (int i = 0; i < imported.size(); ++i) {
            SCOPED_TRACE(imported[i].toStdString());
            EXPECT_FALSE(Form1->ComboBox1->itemData(i, Qt::ForegroundRole).isValid());
            Form1->ComboBox1->setCurrentIndex(i);
            Q_EMIT Form1->ComboBox1->activated(i);
            Form1->Label8Click(Form1->Label8);
            const QStringList started = recorded(recorder);
            ASSERT_EQ(started.size(), 1);
            EXPECT_EQ(QFileInfo(started[0]).canonicalFilePath(), QFileInfo(files[i]).canonicalFilePath());
            EXPECT_TRUE(Form1->entryToolTip(imported[i]).startsWith(rows[i].title));
        }
    };
    ASSERT_EQ(vantorix::listItems(Form1->ComboBox1), imported);
    launchEach();
    const QString saved = dir.filePath("saved.cfg");
    writeFile(saved, vantorix::serializeConfiguration(Form1->configuration()));
    Form1->ComboBox1->clear();
    ASSERT_TRUE(QDir::setCurrent(QDir::rootPath()));
    ASSERT_TRUE(Form1->loadConfigurationFile(saved));
    ASSERT_EQ(vantorix::listItems(Form1->ComboBox1), imported);
    launchEach();
}

// A collection as users keep one, imported in one step through the
// playlist editor: the reader opens on the games directory with every kind
// of ROM, the subfolders come in with one check, and each game starts.
TEST_F(Launch, WholeCollectionInOneImport)
{
    CurrentFolderGuard folder;
    const QString games = QDir(dir.filePath("collection")).absolutePath();
    const QByteArray tennis = romImage("TINY TENNIS");
    writeFile(games + "/top.gb", romImage("TOP"));
    const QString tennisFile = writeFile(games + "/Sports/Tennis/tennis.gb", tennis);
    writeFile(games + "/Zipped Stuff/riverace.zip",
              vantorix::makeArchive(vantorix::ArchiveFormat::ZipDeflated,
                                    {{"river.gb", romImage("RIVER RACE")}, {"bonus.gb", romImage("BONUS")}}));
    writeFile(games + "/notes.txt", "not a game");
    Form1->Edit1->setText(games);
    ASSERT_TRUE(QDir::setCurrent(QDir::rootPath()));

    Form3->show();
    bool firstOpening = false;
    {
        ModalAnswerer reader([&](QWidget *window) {
            ASSERT_EQ(window, Form5);
            waitForReader();
            firstOpening = Form5->DirectoryListBox1->directory() == games && !Form5->CheckBox1->isChecked()
                           && Form5->FilterComboBox1->currentIndex() == 0
                           && vantorix::listItems(Form5->FileListBox1) == QStringList{composeEntry("TOP", "TOP.GB")};
            QTest::mouseClick(Form5->CheckBox1, Qt::LeftButton, {}, QPoint(4, Form5->CheckBox1->height() / 2));
            QTest::mouseClick(Form5->Label8, Qt::LeftButton);
        });
        Form3->Label11Click(Form3->Label11);
        EXPECT_TRUE(reader.answered());
    }
    waitFor([] { return !Form5->isAdding(); });
    EXPECT_TRUE(firstOpening);
    const QStringList collection = {composeEntry("TINY TENNIS", "SPORTS/TENNIS/TENNIS.GB"),
                                    composeEntry("TOP", "TOP.GB"),
                                    composeEntry("RIVER RACE", "ZIPPED STUFF/RIVERACE.ZIP")};
    EXPECT_EQ(vantorix::listItems(Form3->ListBox2), collection);
    Form3->Label6Click(Form3->Label6);
    ASSERT_EQ(vantorix::listItems(Form1->ComboBox1), collection);

    Form1->ComboBox1->setCurrentIndex(0);
    Q_EMIT Form1->ComboBox1->activated(0);
    Form1->Label8Click(Form1->Label8);
    EXPECT_EQ(recorded(recorder), QStringList{tennisFile});
    // A zip of two games says which one is played.
    EXPECT_TRUE(Form1->entryToolTip(collection[2]).contains("river.gb (the first of 2 ROMs)"))
        << Form1->entryToolTip(collection[2]).toStdString();
    // The check stays for the next import.
    EXPECT_TRUE(Form5->CheckBox1->isChecked());
}

// A named game's box art beside its details, in either language; and
// files named like pictures that are none give no picture.
TEST_F(Launch, PictureBesideTheDetailsAndFilesThatAreNoPicture)
{
    const QString games = dir.filePath("games");
    QDir().mkpath(games);
    ASSERT_TRUE(QFile::copy(QStringLiteral(SAMPLES_DIR "/roms/STARHOP.GB"), games + "/STARHOP.GB"));
    QDir().mkpath(vantorix::userDatFolder());
    ASSERT_TRUE(QFile::copy(QStringLiteral(SAMPLES_DIR "/vantorix-samples.xml"),
                            vantorix::userDatFolder() + "/samples.xml"));
    forms.catalogue().reloadDatabases();
    // Found by the name cut before its first " (", as RetroArch finds it.
    QImage red(200, 300, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QString boxes = vantorix::userDataHome() + "/vantorix/thumbnails/Nintendo - Game Boy/Named_Boxarts";
    QDir().mkpath(boxes);
    ASSERT_TRUE(red.save(boxes + "/Star Hopper.png"));
    vantorix::Configuration config;
    config.gamesDirectory = games;
    config.gameList = {composeEntry("STAR HOPPER", "STARHOP.GB")};
    Form1->applyConfiguration(config);
    showMainWindow();
    for (const char *language : {"en", "it"}) {
        vantorix::installTranslations(QLocale(QString::fromLatin1(language)));
        forms.catalogue().toolTips().clear();
        QToolTip::hideText();
        waitFor([] { return !QToolTip::isVisible(); });
        Form1->ComboBox1->showPopup();
        QAbstractItemView *view = Form1->ComboBox1->view();
        const QRect first = view->visualRect(view->model()->index(0, 0));
        QHelpEvent rest(QEvent::ToolTip, first.center(), view->viewport()->mapToGlobal(first.center()));
        QApplication::sendEvent(view->viewport(), &rest);
        // The text first, the picture once it is read.
        EXPECT_TRUE(waitFor([] { return QToolTip::text().contains("data:image/png"); })) << language;
        EXPECT_TRUE(QToolTip::text().replace(QChar(0xA0), ' ').contains(qstrcmp(language, "it") == 0 ? "SOLO ROM" : "ROM ONLY"))
            << QToolTip::text().right(300).toStdString();
        QWidget *tip = nullptr;
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top->inherits("QTipLabel") && top->isVisible())
                tip = top;
        ASSERT_TRUE(tip);
        // Scaled to 160 pixels high, to the left of the text.
        const QImage shown = tip->grab().toImage();
        int redRows = 0;
        for (int y = 0; y < shown.height(); ++y)
            redRows += shown.pixelColor(30, y) == QColor(Qt::red);
        EXPECT_EQ(redRows, vantorix::kShownPictureHeight) << language;
        Form1->ComboBox1->hidePopup();
    }
    vantorix::installTranslations(QLocale(QLocale::English));

    // Files under a picture's name that are none: each gives no picture.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    red.save(&buffer, "PNG");
    QByteArray jpeg;
    QBuffer jpegBuffer(&jpeg);
    jpegBuffer.open(QIODevice::WriteOnly);
    red.save(&jpegBuffer, "JPG");
    // The header of a PNG of 100,000 × 100,000 pixels, its checksum right.
    QByteArray huge = png.left(33);
    huge.replace(16, 8, QByteArray::fromHex("000186a0000186a0"));
    const QByteArray ihdr = huge.mid(12, 17);
    const quint32 crc = quint32(::crc32(0, reinterpret_cast<const Bytef *>(ihdr.constData()), uInt(ihdr.size())));
    huge.replace(29, 4, QByteArray::fromHex(QByteArray::number(crc, 16).rightJustified(8, '0')));
    huge += png.mid(33);
    const QString fifo = dir.filePath("fifo.png");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    const struct {
        const char *what;
        QString file;
    } none[] = {
        {"huge", writeFile(dir.filePath("huge.png"), huge)},
        {"truncated", writeFile(dir.filePath("cut.png"), png.left(png.size() / 2))},
        {"JPEG", writeFile(dir.filePath("photo.png"), jpeg)},
        {"text", writeFile(dir.filePath("text.png"), "not a picture\n")},
        {"empty", writeFile(dir.filePath("empty.png"), "")},
        {"FIFO", fifo},
        {"folder", dir.path()},
    };
    for (const auto &n : none)
        EXPECT_TRUE(vantorix::readScaledPicture(n.file).isNull()) << n.what;
    EXPECT_EQ(vantorix::readScaledPicture(boxes + "/Star Hopper.png").height(), vantorix::kShownPictureHeight);
}


// A game database dropped on the window names the games from then on: in
// the ROMS reader when asked, and in the tool-tips.
// A collection imported without names, then a game database dropped:
// while the user takes names from the databases the list follows them (in
// the list, find, tool-tips and the file saved) without counting as a
// change, and the windows grow to show long names whole.
TEST_F(Launch, DroppedGameDatabaseRenamesTheListInWindowsThatGrow)
{
    CurrentFolderGuard folder;
    const QString games = dir.filePath("games");
    const QString samples = QStringLiteral(SAMPLES_DIR);
    QDir().mkpath(games);
    QFile::copy(samples + "/roms/STARHOP.GB", games + "/STARHOP.GB");
    QFile::copy(samples + "/roms/RIVERACE.ZIP", games + "/RIVERACE.ZIP");
    writeFile(games + "/04-sweep.gb", romImage(""));  // test ROMs often carry no title
    writeFile(games + "/05-sweep.gb", romImage(""));
    Form1->Edit1->setText(games);
    const auto drop = [](const QString &file) { dropFile(Form1, file); };
    const auto gameList = [] { return vantorix::listItems(Form1->ComboBox1); };
    const auto settle = [this] {
        forms.catalogue().waitForTasks();
        QApplication::processEvents();
    };
    const QString fifo = dir.filePath("pipe.dat");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    for (const auto &[file, said] : {std::pair{writeFile(dir.filePath("letter.dat"), "Dear user,\n"),
                                               QStringLiteral("Not a game database (line 1: not a game database).")},
                                     std::pair{fifo, QStringLiteral("Not a regular file.")}}) {
        // Read off the window's thread: the box follows.
        ModalAnswerer box(pressOk, 60000);
        drop(file);
        EXPECT_TRUE(waitFor([&] { return box.answered(); }));
        EXPECT_EQ(box.seenText(), said);
    }

    // Imported without names: header titles, and file names where a header
    // has none, so that the two test ROMs can be told apart.
    const QStringList headers = {composeEntry("04-sweep", "04-SWEEP.GB"), composeEntry("05-sweep", "05-SWEEP.GB"),
                                 composeEntry("RIVER RACE", "RIVERACE.ZIP"), composeEntry("STAR HOPPER", "STARHOP.GB")};
    QStringList named = headers;
    named[2] = composeEntry("River Race (World)", "RIVERACE.ZIP");
    named[3] = composeEntry("Star Hopper (World) (Rev 1)", "STARHOP.GB");
    Form5->show();
    waitForReader();
    EXPECT_FALSE(Form5->CheckBox2->isChecked());
    EXPECT_EQ(vantorix::listItems(Form5->FileListBox1), headers);
    Form5->hide();
    vantorix::Configuration config = Form1->configuration();
    config.gameList = headers;
    const QString file = writeFile(dir.filePath("user.cfg"), vantorix::serializeConfiguration(config));
    ASSERT_TRUE(Form1->loadConfigurationFile(file));

    // Dropped while names are the headers': nothing renamed.
    for (const char *copy : {"vantorix-samples.xml", "vantorix-samples (2).xml"}) {
        ModalAnswerer box(pressOk, 60000);
        drop(samples + "/vantorix-samples.xml");
        EXPECT_TRUE(waitFor([&] { return box.answered(); }));
        EXPECT_EQ(box.seenText(), QStringLiteral("Game database Vantorix - Samples (XML) (2026) added: 7 games"));
        EXPECT_TRUE(QFile::exists(vantorix::userDatFolder() + "/" + copy)) << copy;
    }
    settle();
    EXPECT_EQ(gameList(), headers);
    // Names taken from the databases: the list follows, and the rename is
    // no change of the user's.
    Form5->CheckBox2->setChecked(true);
    EXPECT_TRUE(waitFor([&] { return gameList() == named; })) << gameList().join('\n').toStdString();
    EXPECT_FALSE(Form1->hasUnsavedChanges());
    EXPECT_TRUE(Form1->entryToolTip(named[3]).startsWith("Star Hopper (World) (Rev 1)\nSTAR HOPPER\n"))
        << Form1->entryToolTip(named[3]).toStdString();
    Form1->ComboBox1->setCurrentIndex(3);
    Form1->ComboBox1Change(Form1->ComboBox1);
    EXPECT_EQ(Form1->Label3->text(), "--> STARHOP.GB ");
    Form1->showFindField();
    Form1->findChild<QLineEdit *>("FindField")->setText("hopper (world)");
    auto *matches = Form1->findChild<QListWidget *>("FindMatches");
    ASSERT_EQ(matches->count(), 1);
    EXPECT_EQ(matches->item(0)->text(), named[3]);
    QTest::keyClick(Form1->findChild<QLineEdit *>("FindField"), Qt::Key_Escape);

    // The drop-down is as wide as its longest entry, up to the screen's
    // width, and cuts at the end what still does not fit.
    Form1->ComboBox1->addItem(composeEntry(QString(60, 'W') + " (World) (v1.21)", "LONG.GB"));
    Form1->ComboBox1->showPopup();
    QWidget *popup = Form1->ComboBox1->view()->window();
    EXPECT_GT(popup->width(), Form1->ComboBox1->width());
    EXPECT_LE(popup->width(), Form1->screen()->availableGeometry().width());
    EXPECT_EQ(Form1->ComboBox1->view()->textElideMode(), Qt::ElideRight);
    Form1->ComboBox1->hidePopup();
    Form1->ComboBox1->removeItem(Form1->ComboBox1->count() - 1);

    // Each window grows from its design size, its lists with it.
    const struct {
        QWidget *window;
        QSize design;
        QWidget *list;
        QSize listGrowth;
        QWidget *button;
        QPoint buttonMove;
    } windows[] = {
        {Form1, {590, 338}, Form1->ComboBox1, {300, 0}, Form1->Label8, {300, 0}},
        {Form3, {704, 489}, Form3->ListBox2, {150, 100}, Form3->Label6, {300, 100}},
        {Form5, {655, 308}, Form5->FileListBox1, {200, 100}, Form5->Label8, {300, 0}},
    };
    for (const auto &w : windows) {
        w.window->show();
        EXPECT_EQ(w.window->minimumSize(), w.design) << w.window->objectName().toStdString();
        const QSize listBefore = w.list->size();
        const QPoint buttonBefore = w.button->mapTo(w.window, QPoint());
        w.window->resize(w.design + QSize(300, 100));
        EXPECT_EQ(w.list->size(), listBefore + w.listGrowth) << w.window->objectName().toStdString();
        EXPECT_EQ(w.button->mapTo(w.window, QPoint()), buttonBefore + w.buttonMove)
            << w.window->objectName().toStdString();
        w.window->resize(w.design);
        if (w.window != Form1)
            w.window->hide();
    }

    // Saved as shown; the choice of names is the user's at the next start.
    for (QShortcut *shortcut : Form1->findChildren<QShortcut *>())
        if (shortcut->key() == QKeySequence(QKeySequence::Save))
            Q_EMIT shortcut->activated();
    EXPECT_EQ(vantorix::parseConfiguration(readFile(file)).gameList, named);
    settle();
    vantorix::destroyForms();
    vantorix::createForms(forms.catalogue());
    EXPECT_TRUE(Form5->CheckBox2->isChecked());
    ASSERT_TRUE(Form1->loadConfigurationFile(file));
    EXPECT_EQ(gameList(), named);
    // Names from the headers again: a list loaded keeps what it holds.
    Form5->CheckBox2->setChecked(false);
    config.gameList = headers;
    writeFile(file, vantorix::serializeConfiguration(config));
    ASSERT_TRUE(Form1->loadConfigurationFile(file));
    settle();
    EXPECT_EQ(gameList(), headers);
}

}  // namespace

namespace {

// Entries and commands nobody would write by hand: each gives a clear
// answer at once, and only the file or the words the user meant.
TEST_F(Launch, HostileEntriesAndCommandsAnswerAtOnce)
{
    const QString games = dir.filePath("games");
    QDir().mkpath(games);
    ASSERT_EQ(::mkfifo(QFile::encodeName(games + "/PIPE.GB").constData(), 0644), 0);
    writeFile(games + "/A.GB", romImage("ALPHA"));
    Form1->Edit1->setText(games);
    const QString hugeName = QString(1 << 20, 'N') + ".GB";
    vantorix::Configuration config;
    config.gamesDirectory = games;
    config.displayNames = {"Tom&Jerry", "two", "three"};
    config.gameList = {composeEntry("PIPE", "PIPE.GB"), composeEntry("HUGE", hugeName),
                       composeEntry("NUL", QString::fromLatin1("A.GB\0../x.GB", 12))};
    Form1->applyConfiguration(config);
    Form1->RadioButton2->setChecked(true);

    // A FIFO is never opened, a huge missing name is shown cut.
    EXPECT_TRUE(Form1->entryToolTip(config.gameList[0]).endsWith("Not a regular file"));
    EXPECT_LT(Form1->ComboBox1->itemData(1, Qt::ToolTipRole).toString().size(), 5000);
    EXPECT_LT(Form1->entryToolTip(config.gameList[1]).size(), 5000);
    // An "&" is a character of the name, and is saved as one.
    EXPECT_EQ(Form1->RadioButton1->text(), QStringLiteral("Tom&&Jerry"));
    EXPECT_EQ(Form1->configuration().displayNames[0], QStringLiteral("Tom&Jerry"));

    // A name with a NUL in it names no file: nothing starts.
    {
        ModalAnswerer box(pressOk);
        choose(config.gameList[2]);
        Form1->Label8Click(Form1->Label8);
        EXPECT_TRUE(box.seenText().contains("NUL"));
    }
    EXPECT_TRUE(recorded(recorder, 500).isEmpty());

    // Every word of a command reaches the emulator as written.
    choose(composeEntry("ALPHA", "A.GB"));
    Form1->Edit3->setText(QStringLiteral("'%1' -- --x %ROM% -").arg(recorder));
    Form1->Label8Click(Form1->Label8);
    EXPECT_EQ(recorded(recorder), QStringList({"--", "--x", games + "/A.GB", "-"}));
    // A command of a megabyte that names nothing: the box names its start.
    Form1->Edit3->setText(QString(1 << 20, 'x'));
    {
        ModalAnswerer box(pressOk);
        Form1->Label8Click(Form1->Label8);
        EXPECT_LT(box.seenText().size(), 1000);
    }
    // A folder, and a file that may not be run, say so.
    const QString plain = writeFile(dir.filePath("not-a-program"), "text");
    for (const auto &[command, reason] : {std::pair<QString, QString>{games, "is a folder"},
                                          std::pair<QString, QString>{plain, "is not executable"}}) {
        Form1->Edit3->setText(command);
        ModalAnswerer box(pressOk);
        Form1->Label8Click(Form1->Label8);
        EXPECT_TRUE(box.seenText().contains(reason)) << box.seenText().toStdString();
    }
}

}  // namespace

namespace {

// After "Ok!" nothing is chosen and the launch waits; a dropped ROM starts
// at once; Ctrl+F narrows the list and Return starts the match.
TEST_F(Launch, ReplacedListDroppedRomAndFindField)
{
    const QString games = dir.filePath("games");
    const QString alpha = writeFile(games + "/ALPHA.GB", romImage("ALPHA"));
    writeFile(games + "/BETA.GB", romImage("BETA"));
    vantorix::Configuration config;
    config.gamesDirectory = games;
    config.executables = {QString(), recorder, QString()};
    config.gameList = {composeEntry("ALPHA", "ALPHA.GB"), composeEntry("BETA", "BETA.GB"),
                       composeEntry("GONE", "GONE.GB")};
    Form1->applyConfiguration(config);
    Form1->RadioButton2->setChecked(true);
    showMainWindow();
    EXPECT_TRUE(waitFor([] { return !Form1->ComboBox1->itemData(2, Qt::DecorationRole).isNull(); }));  // missing: marked
    EXPECT_TRUE(Form1->ComboBox1->itemData(0, Qt::DecorationRole).isNull());

    Form1->ComboBox1->setCurrentIndex(0);
    Form1->ComboBox1Change(Form1->ComboBox1);
    Form3->show();
    Form3->ListBox2->addItems(config.gameList.mid(1));
    Form3->Label6Click(Form3->Label6);
    EXPECT_EQ(Form1->Label3->text(), QStringLiteral("(No game selected)"));
    EXPECT_FALSE(Form1->Label8->isEnabled());

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(alpha)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Form1, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Form1, &drop);
    EXPECT_EQ(recorded(recorder), QStringList{alpha});

    QApplication::setActiveWindow(Form1);
    QTest::keyClick(Form1, Qt::Key_F, Qt::ControlModifier);
    auto *find = Form1->findChild<QLineEdit *>("FindField");
    ASSERT_TRUE(find && find->isVisible());
    QTest::keyClicks(find, "gOn");
    auto *view = static_cast<QListView *>(Form1->ComboBox1->view());
    EXPECT_TRUE(view->isRowHidden(0));
    EXPECT_FALSE(view->isRowHidden(1));
    // The matches show under the field; the selection line names the one
    // Return starts, Up and Down move in them.
    auto *matches = Form1->findChild<QListWidget *>("FindMatches");
    ASSERT_TRUE(matches && matches->isVisible());
    EXPECT_EQ(vantorix::listItems(matches), QStringList{composeEntry("GONE", "GONE.GB")});
    EXPECT_EQ(Form1->Label3->text(), vantorix::selectionLine(composeEntry("GONE", "GONE.GB")));
    find->setText("E");
    EXPECT_EQ(matches->count(), 2);
    EXPECT_EQ(Form1->Label3->text(), vantorix::selectionLine(composeEntry("BETA", "BETA.GB")));
    QTest::keyClick(find, Qt::Key_Down);
    EXPECT_EQ(Form1->Label3->text(), vantorix::selectionLine(composeEntry("GONE", "GONE.GB")));
    QTest::keyClick(find, Qt::Key_Up);
    EXPECT_EQ(Form1->Label3->text(), vantorix::selectionLine(composeEntry("BETA", "BETA.GB")));
    QTest::keyClick(find, Qt::Key_Escape);  // closes, every row shows again, the choice comes back
    EXPECT_FALSE(find->isVisible());
    EXPECT_FALSE(matches->isVisible());
    EXPECT_FALSE(view->isRowHidden(0));
    EXPECT_EQ(Form1->Label3->text(), "User selection: " + alpha);
    QTest::keyClick(Form1, Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(find, "beta");
    QTest::keyClick(find, Qt::Key_Return);
    EXPECT_EQ(Form1->ComboBox1->currentIndex(), 0);
    EXPECT_EQ(recorded(recorder), QStringList{games + "/BETA.GB"});

    // A find left open while another list is loaded closes; Return then
    // never starts a game the text does not match.
    QTest::keyClick(Form1, Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(find, "gon");
    Form1->replaceGameList({composeEntry("ALPHA", "ALPHA.GB")});
    EXPECT_FALSE(find->isVisible());
    find->show();
    find->setText("zel");
    QTest::keyClick(find, Qt::Key_Return);
    EXPECT_TRUE(recorded(recorder, 300).isEmpty());

    // What cannot be started is refused with its reason, and nothing starts:
    // a folder named like a ROM, an archive holding no ROM, an entry
    // marked missing or reaching out of the games directory.
    const auto dropFile = [&](const QByteArray &path) {
        QMimeData dropped;
        dropped.setUrls({QUrl::fromEncoded("file://" + path.toPercentEncoding("/"))});
        QDragEnterEvent entering(QPoint(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Form1, &entering);
        QDropEvent event(QPointF(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Form1, &event);
    };
    QDir().mkpath(games + "/folder.gb");
    writeFile(games + "/nothing.zip", vantorix::makeArchive(vantorix::ArchiveFormat::ZipDeflated,
                                                             {{"readme.txt", "no game here"}}));
    writeFile(dir.filePath("OUT.GB"), romImage("OUT"));
    const struct {
        std::function<void()> act;
        QString message;
    } refused[] = {
        {[&] { dropFile(QFile::encodeName(games + "/folder.gb")); }, "Is a folder."},
        {[&] { dropFile(QFile::encodeName(games + "/nothing.zip")); }, "No ROM in the archive."},
        {[&] { choose(composeEntry("GONE", "GONE.GB")); Form1->Label8Click(Form1->Label8); },
         "File not found: " + games + "/GONE.GB."},
        {[&] { choose(composeEntry("OUT", "../OUT.GB")); Form1->Label8Click(Form1->Label8); },
         "File not found: " + games + "/../OUT.GB."},
    };
    for (const auto &r : refused) {
        ModalAnswerer box(pressOk);
        r.act();
        EXPECT_EQ(box.seenText(), r.message);
        EXPECT_TRUE(recorded(recorder, 300).isEmpty()) << r.message.toStdString();
    }
    {
        // Ctrl+Shift+L on the archive without a ROM.
        ModalAnswerer answer(std::vector<ModalAnswerer::Handler>{
            [&](QWidget *dialog) { acceptFileDialog(dialog, games + "/nothing.zip"); }, pressOk});
        QApplication::setActiveWindow(Form1);
        QTest::keyClick(Form1, Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_TRUE(answer.answered());
        EXPECT_EQ(answer.seenText(), QStringLiteral("No ROM in the archive."));
        EXPECT_TRUE(recorded(recorder, 300).isEmpty());
    }
    // A dropped file whose name is not UTF-8 is the file started.
    const QByteArray latin1 = QFile::encodeName(games) + "/caf\xe9.gb";
    ::close(::open(latin1.constData(), O_CREAT | O_WRONLY, 0644));
    dropFile(latin1);
    EXPECT_EQ(recordedBytes(recorder), QList<QByteArray>{latin1});
}

}  // namespace
