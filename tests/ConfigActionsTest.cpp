// Save and load through the main window's dialogs, and the start-up file.
#include "app/Forms.h"
#include "rom/GameListEntry.h"
#include "app/Unit1.h"
#include "settings/Configuration.h"
#include "settings/LastConfiguration.h"
#include "tests/WindowTestSupport.h"
#include "windows/Unit2.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QWindow>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QTest>
#include <QTimer>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/mount.h>

using namespace testing_support;
using vantorix::Configuration;

namespace {

Configuration sampleConfiguration()
{
    Configuration config;
    config.interfaceName = QStringLiteral("none.txt");
    config.gamesDirectory = QStringLiteral("/home/player/roms ");
    config.executables = {QStringLiteral("mgba-qt"), QString(), QStringLiteral("  /opt/vba/vba")};
    config.displayNames = {QStringLiteral("mGBA (Qt)"), QStringLiteral("  "), QStringLiteral("Visual Boy")};
    for (int i = 0; i < vantorix::kInfoLineCount; ++i)
        config.infoLines[i] = QStringLiteral("info line %1 ").arg(i + 1);
    config.infoLines[4] = QString();
    config.gameList = {QStringLiteral("TETRIS                | TETRIS.GB"), QString(),
                       QStringLiteral("Città                 | CITTA.GBC")};
    return config;
}

// Keeps the controls the load leaves alone in a known state.
void markUntouchedControls()
{
    Form1->RadioButton2->setChecked(true);
    Form1->Label3->setText(QStringLiteral("--> KEEP.GB    "));
    Form1->Label8->setEnabled(false);
}

void expectUntouchedControls()
{
    EXPECT_TRUE(Form1->RadioButton2->isChecked());
    EXPECT_EQ(Form1->Label3->text(), QStringLiteral("--> KEEP.GB    "));
    EXPECT_FALSE(Form1->Label8->isEnabled());
}

class ConfigurationActions : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    FormsGuard forms;
    QTemporaryDir dir;
};

TEST_F(ConfigurationActions, SaveAndLoadThroughTheDialogsRestoreEveryField)
{
    Configuration saved = sampleConfiguration();
    Form1->applyConfiguration(saved);
    // A line feed inside a text cannot survive a line-based file: it is
    // stored as a space rather than shifting every later line.
    Form2->infoLabel(8)->setText(QStringLiteral("two\nlines"));
    saved.infoLines[8] = QStringLiteral("two lines");

    QString proposedName;
    QString saveFolder;
    {
        ModalAnswerer answer([&](QWidget *dialog) {
            saveFolder = qobject_cast<QFileDialog *>(dialog)->directory().absolutePath();
            proposedName = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text();
            acceptFileDialog(dialog, dir.filePath("mine"));
        });
        Form1->Button3Click(Form1->Button3);
        EXPECT_TRUE(answer.answered());
    }
    EXPECT_EQ(proposedName, QStringLiteral("user"));
    EXPECT_EQ(saveFolder, QDir(QCoreApplication::applicationDirPath()).absolutePath());
    // The default extension is added to a name typed without one.
    const QString file = dir.filePath("mine.cfg");
    ASSERT_TRUE(QFile::exists(file));
    const QByteArray bytes = readFile(file);
    EXPECT_TRUE(bytes.endsWith("| CITTA.GBC\r\n"));
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));

    Form1->applyConfiguration(Configuration());
    markUntouchedControls();
    QString openFolder;
    {
        ModalAnswerer answer([&](QWidget *dialog) {
            openFolder = qobject_cast<QFileDialog *>(dialog)->directory().absolutePath();
            acceptFileDialog(dialog, file);
        });
        Form1->Button4Click(Form1->Button4);
        EXPECT_TRUE(answer.answered());
    }
    EXPECT_EQ(openFolder, saveFolder);
    EXPECT_EQ(Form1->configuration(), saved);
    EXPECT_EQ(Form1->ComboBox1->currentIndex(), -1);
    // The list was replaced: nothing is chosen, the launch waits for a choice.
    EXPECT_TRUE(Form1->RadioButton2->isChecked());
    EXPECT_EQ(Form1->Label3->text(), QStringLiteral("(No game selected)"));
    EXPECT_FALSE(Form1->Label8->isEnabled());
}

TEST_F(ConfigurationActions, SaveAsksBeforeReplacingAndCancelWritesNothing)
{
    const QString file = writeFile(dir.filePath("user.cfg"), "## old\r\n");
    Form1->applyConfiguration(sampleConfiguration());
    {
        ModalAnswerer answer(std::vector<ModalAnswerer::Handler>{
            [&](QWidget *dialog) { acceptFileDialog(dialog, file); },
            [](QWidget *question) { pressButton(question, QMessageBox::Yes); }});
        Form1->Button3Click(Form1->Button3);
        EXPECT_TRUE(answer.answered());
    }
    EXPECT_EQ(readFile(file), vantorix::serializeConfiguration(sampleConfiguration()));

    writeFile(file, "## old\r\n");
    {
        ModalAnswerer answer(rejectDialog);
        Form1->Button3Click(Form1->Button3);
        EXPECT_TRUE(answer.answered());
    }
    EXPECT_EQ(readFile(file), QByteArray("## old\r\n"));
}

// Closing the main window with changes asks Save, Discard or Cancel, and
// nothing when nothing changed; the next start proposes the file.
TEST_F(ConfigurationActions, ClosingWithChangesAsksAndTheNextStartProposesTheLastFile)
{
    // The start's load dialog opens over the main window, once that is on
    // the screen.
    bool windowUnderDialog = false;
    {
        ModalAnswerer startUp([&](QWidget *dialog) {
            windowUnderDialog = Form1->windowHandle() && Form1->windowHandle()->isExposed()
                                && dialog->parentWidget() == Form1;
            rejectDialog(dialog);
        });
        startMainWindow();
        EXPECT_TRUE(startUp.answered());
    }
    EXPECT_TRUE(windowUnderDialog);
    const QString file = writeFile(dir.filePath("mine.cfg"), vantorix::serializeConfiguration(sampleConfiguration()));
    ASSERT_TRUE(Form1->loadConfigurationFile(file));
    Form1->close();  // unchanged: no question
    EXPECT_FALSE(Form1->isVisible());
    Form1->show();

    const QString changed = dir.filePath("elsewhere");
    Form1->Edit1->setText(changed);
    const auto closeAnswering = [](std::vector<ModalAnswerer::Handler> handlers) {
        ModalAnswerer answer(std::move(handlers));
        Form1->close();
        EXPECT_TRUE(answer.answered());
        return answer.seenText();
    };
    EXPECT_EQ(closeAnswering({[](QWidget *box) { pressButton(box, QMessageBox::Cancel); }}),
              "Save changes to " + file + "?");
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_EQ(Form1->Edit1->text(), changed);
    closeAnswering({[](QWidget *box) { pressButton(box, QMessageBox::Discard); }});
    EXPECT_FALSE(Form1->isVisible());
    Form1->show();
    // Save writes the very file the question names, at once: no dialog,
    // nothing else offered.
    {
        ModalAnswerer answer(std::vector<ModalAnswerer::Handler>{
            [](QWidget *box) { pressButton(box, QMessageBox::Save); },
            [](QWidget *other) { ADD_FAILURE() << other->metaObject()->className(); rejectDialog(other); }});
        Form1->close();
        EXPECT_EQ(answer.seenTexts(), QStringList{"Save changes to " + file + "?"});
    }
    EXPECT_FALSE(Form1->isVisible());
    EXPECT_EQ(vantorix::parseConfiguration(readFile(file)).gamesDirectory, changed);
    // Ctrl+S too saves in place.
    Form1->show();
    Form1->Edit1->setText(changed + "2");
    for (QShortcut *shortcut : Form1->findChildren<QShortcut *>())
        if (shortcut->key() == QKeySequence(QKeySequence::Save))
            Q_EMIT shortcut->activated();
    EXPECT_EQ(vantorix::parseConfiguration(readFile(file)).gamesDirectory, changed + "2");

    // The next start's load dialog proposes the file: Return loads it.
    vantorix::destroyForms();
    vantorix::createForms(forms.catalogue());
    QString proposed;
    ModalAnswerer load([&](QWidget *dialog) {
        proposed = qobject_cast<QFileDialog *>(dialog)->selectedFiles().value(0);
        acceptFileDialog(dialog, proposed);
    });
    startMainWindow();
    EXPECT_TRUE(load.answered());
    EXPECT_EQ(proposed, file);
    // Every start checks the same emulator: the second slot's.
    EXPECT_EQ(Form1->Edit1->text(), changed + "2");
    EXPECT_TRUE(Form1->RadioButton2->isChecked());
}

TEST_F(ConfigurationActions, OpenDialogRefusesANameThatDoesNotExistAndSaysSo)
{
    Form1->applyConfiguration(sampleConfiguration());
    markUntouchedControls();
    QString said;
    ModalAnswerer answer(std::vector<ModalAnswerer::Handler>{
        [&](QWidget *dialog) { acceptFileDialog(dialog, dir.filePath("ghost.cfg")); },
        [&](QWidget *warning) {
            said = qobject_cast<QMessageBox *>(warning)->text();
            pressOk(warning);
            // The dialog stays open on the name: the user gives up.
            QTimer::singleShot(0, [] { rejectDialog(QApplication::activeModalWidget()); });
        }});
    Form1->Button4Click(Form1->Button4);
    EXPECT_TRUE(answer.answered());
    EXPECT_TRUE(said.contains("ghost.cfg")) << said.toStdString();
    EXPECT_EQ(Form1->configuration(), sampleConfiguration());
    expectUntouchedControls();
}

// A file of more games than the list takes: the load says how many it
// left out, and a save over the file asks first, No being the default.
TEST_F(ConfigurationActions, GamesBeyondTheLimitAreNamedAndNotLostUnasked)
{
    vantorix::Configuration big = sampleConfiguration();
    big.gameList.clear();
    for (int i = 0; i < vantorix::kPlaylistLimit + 25; ++i)
        big.gameList.append(vantorix::composeEntry(QStringLiteral("GAME %1").arg(i), QStringLiteral("G%1.GB").arg(i)));
    const QByteArray bytes = vantorix::serializeConfiguration(big);
    const QString file = writeFile(dir.filePath("big.cfg"), bytes);
    {
        ModalAnswerer notice(pressOk);
        EXPECT_TRUE(Form1->loadConfigurationFile(file));
        EXPECT_TRUE(notice.seenText().contains(" holds 25 more games")) << notice.seenText().toStdString();
    }
    {
        // One game too many is one game.
        vantorix::Configuration one = big;
        one.gameList = one.gameList.mid(24);
        ModalAnswerer notice(pressOk);
        EXPECT_TRUE(Form1->loadConfigurationFile(writeFile(dir.filePath("one.cfg"), vantorix::serializeConfiguration(one))));
        EXPECT_TRUE(notice.seenText().contains(" holds 1 more game than")) << notice.seenText().toStdString();
    }
    EXPECT_EQ(Form1->ComboBox1->count(), vantorix::kPlaylistLimit);
    for (const auto button : {QMessageBox::No, QMessageBox::Yes}) {
        QString asked;
        ModalAnswerer answer(std::vector<ModalAnswerer::Handler>{
            [&](QWidget *dialog) { acceptFileDialog(dialog, file); },
            [](QWidget *replace) { pressButton(replace, QMessageBox::Yes); },
            [&](QWidget *question) {
                auto *box = qobject_cast<QMessageBox *>(question);
                asked = box->text();
                EXPECT_EQ(static_cast<QAbstractButton *>(box->defaultButton()), box->button(QMessageBox::No));
                pressButton(question, button);
            }});
        Form1->Button3Click(Form1->Button3);
        EXPECT_TRUE(asked.contains("25 games more")) << asked.toStdString();
        EXPECT_EQ(readFile(file) == bytes, button == QMessageBox::No);
    }
}

TEST_F(ConfigurationActions, FailedLoadChangesNoControl)
{
    Form1->applyConfiguration(sampleConfiguration());
    markUntouchedControls();
    const QString fifo = dir.filePath("pipe.cfg");
    ASSERT_EQ(QProcess::execute(QStringLiteral("mkfifo"), {fifo}), 0);
    const struct {
        QString path;
        QString message;
    } cases[] = {
        {dir.filePath("missing.cfg"), QStringLiteral("File not found.")},
        {dir.path(), QStringLiteral("Is a folder.")},
        {fifo, QStringLiteral("Not a regular file.")},
        {dir.filePath("missing.cfg/inside"), QStringLiteral("File not found.")},
    };
    for (const auto &c : cases) {
        ModalAnswerer box(pressOk);
        EXPECT_FALSE(Form1->loadConfigurationFile(c.path));
        EXPECT_EQ(box.seenText(), c.message) << c.path.toStdString();
        EXPECT_EQ(qobject_cast<QMessageBox *>(QApplication::activeModalWidget()), nullptr);
    }
    EXPECT_EQ(Form1->configuration(), sampleConfiguration());
    expectUntouchedControls();
}

TEST_F(ConfigurationActions, FailedSaveOnAFullDiskKeepsTheOldFile)
{
    const QString mountPoint = dir.filePath("small");
    QDir().mkpath(mountPoint);
    if (mount("vantorix-test", mountPoint.toLocal8Bit().constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here (not root?)";
    struct Unmount {
        QString path;
        ~Unmount() { umount2(path.toLocal8Bit().constData(), MNT_DETACH); }
    } unmount{mountPoint};

    const QByteArray old = vantorix::serializeConfiguration(Configuration());
    const QString file = writeFile(mountPoint + "/user.cfg", old);
    {
        // Fill every remaining block.
        QFile filler(mountPoint + "/filler");
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    Form1->applyConfiguration(sampleConfiguration());
    ModalAnswerer answer(std::vector<ModalAnswerer::Handler>{
        [&](QWidget *dialog) { acceptFileDialog(dialog, file); },
        [](QWidget *question) { pressButton(question, QMessageBox::Yes); },
        pressOk});
    Form1->Button3Click(Form1->Button3);
    EXPECT_TRUE(answer.answered());
    ASSERT_EQ(answer.seenTexts().size(), 2);
    EXPECT_EQ(answer.seenTexts().at(1), QStringLiteral("Disk full."));
    EXPECT_EQ(readFile(file), old);
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(mountPoint).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST_F(ConfigurationActions, StartupFileLoadsInsteadOfTheDialog)
{
    const QString file = writeFile(dir.filePath("start.cfg"),
                                   vantorix::serializeConfiguration(sampleConfiguration()));
    Form1->setStartupFile(file);
    startMainWindow();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(Form1->configuration(), sampleConfiguration());
}

TEST_F(ConfigurationActions, MissingStartupFileIsReportedAndNothingElseOpens)
{
    Form1->setStartupFile(dir.filePath("gone.cfg"));
    const Configuration before = Form1->configuration();
    {
        ModalAnswerer box(pressOk);
        Form1->show();
        QElapsedTimer timer;
        timer.start();
        while (!box.answered() && timer.elapsed() < 5000) {
            QApplication::processEvents();
            QThread::msleep(5);
        }
        EXPECT_EQ(box.seenText(), QStringLiteral("File not found."));
    }
    // As if the start-up dialog had been cancelled: no open dialog follows.
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(Form1->configuration(), before);
    EXPECT_TRUE(Form1->Edit1->text().isEmpty());
    EXPECT_EQ(Form1->ComboBox1->count(), 0);
}

TEST(CommandLine, HelpVersionUsageErrorsAndTheWindowProgram)
{
    QTemporaryDir dir;
    const QString rom = writeFile(dir.filePath("games/a.gb"), romImage("ALPHA"));
    // Copies of the command beside a window program that cannot run.
    QDir().mkpath(dir.filePath("noexec"));
    QDir().mkpath(dir.filePath("folder/kelpad-window"));
    QFile::copy(KELPAD_PATH, dir.filePath("noexec/kelpad"));
    QFile::copy(KELPAD_PATH, dir.filePath("folder/kelpad"));
    writeFile(dir.filePath("noexec/kelpad-window"), "#!/bin/sh\n");
    for (const char *copy : {"noexec/kelpad", "folder/kelpad"})
        QFile::setPermissions(dir.filePath(copy), QFile::ReadOwner | QFile::ExeOwner);
    const bool latin1 = QProcess::execute("sh", {"-c", "locale -a | grep -qix it_IT.iso88591"}) == 0;
    const struct {
        QStringList arguments;
        QStringList environment;
        int status;
        QByteArray output;  // what stdout and stderr hold, both
        QString program = KELPAD_PATH;
    } cases[] = {
        {{"--help"}, {}, 0, "Usage: kelpad [OPTIONS] [--] [FILE]"},
        {{"--version"}, {}, 0, "kelpad (Vantorix) "},
        {{"--mask", "*.gb"}, {}, 2, "--mask goes with --scan"},
        {{"one.cfg", "two.cfg"}, {}, 2, "only one configuration file"},
        {{"--scan"}, {}, 2, "--scan needs a value"},
        {{"--subfolders", "--info", rom}, {}, 2, "--subfolders goes with --scan"},
        {{"--names", "one.cfg"}, {}, 2, "--names goes with --scan"},
        {{"--info", rom, "--dat"}, {}, 2, "--dat needs a value"},
        // A file that is no game database is named and skipped.
        {{"--scan", dir.path(), "--subfolders", "--names", "--dat", rom}, {}, 0, "a.gb:1: not a game database"},
        // The toolkit's options are no options of ours, and no files.
        {{"-style", "Fusion", "-x.cfg"}, {}, 2, "unknown option -x.cfg"},
        {{"-style", "Fusion", "--scan", dir.filePath("games")}, {}, 0, "ALPHA"},
        {{"-reverse", "--style=Fusion", "--info", rom}, {}, 0, "Title: ALPHA"},
        // Checked before any display is looked for.
        {{"--bogus"}, {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=xcb"}, 2, "unknown option --bogus"},
        // Messages in the terminal's character set.
        {{"--info", dir.path()}, {latin1 ? "LC_ALL=it_IT.ISO-8859-1" : "LC_ALL=it_IT.UTF-8"}, 1,
         latin1 ? "Non \xE8 un file normale" : "Non \xC3\xA8 un file normale"},
        // The true reason a window program cannot run.
        {{}, {"LC_ALL=C"}, 1, "cannot be started: Permission denied", dir.filePath("noexec/kelpad")},
        {{}, {"LC_ALL=C"}, 1, "cannot be started: Is a folder", dir.filePath("folder/kelpad")},
    };
    for (const auto &c : cases) {
        const QString what = c.arguments.join(' ') + " " + c.environment.join(' ');
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString &setting : c.environment)
            environment.insert(setting.section('=', 0, 0), setting.section('=', 1));
        process.setProcessEnvironment(environment);
        process.start(c.program, c.arguments);
        ASSERT_TRUE(process.waitForFinished(60000)) << what.toStdString();
        const QByteArray out = process.readAllStandardOutput() + process.readAllStandardError();
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << what.toStdString();
        EXPECT_EQ(process.exitCode(), c.status) << what.toStdString();
        EXPECT_TRUE(out.contains(c.output)) << what.toStdString() << ": " << out.left(300).constData();
    }
}

}  // namespace

namespace {

// The window and kelpad --add on one file: games added meanwhile are taken
// while the window holds no change of its own, a save over them asks
// first, and a file that is no configuration is never taken.
TEST_F(ConfigurationActions, WindowFollowsItsFileChangedByAnotherProgram)
{
    const QString root = QDir(dir.path()).canonicalPath();
    Configuration config = sampleConfiguration();
    config.gamesDirectory = root;
    config.gameList = {vantorix::composeEntry("OLD", "OLD.GB")};
    const QString file = writeFile(root + "/mine.cfg", vantorix::serializeConfiguration(config));
    ASSERT_TRUE(Form1->loadConfigurationFile(file));
    Form1->ComboBox1->setCurrentIndex(0);
    Form1->ComboBox1Change(Form1->ComboBox1);
    const QByteArray star = readFile(SAMPLES_DIR "/roms/STARHOP.GB");
    const auto addFromOutside = [&](const QString &name) {
        QProcess kelpad;
        kelpad.start(KELPAD_PATH, {"--add", writeFile(root + "/" + name, star)});
        EXPECT_TRUE(kelpad.waitForFinished(60000));
        EXPECT_EQ(kelpad.exitCode(), 0) << kelpad.readAllStandardError().toStdString();
    };
    addFromOutside("one.gb");
    EXPECT_TRUE(waitFor([] { return Form1->ComboBox1->count() == 2; }));
    EXPECT_EQ(Form1->ComboBox1->currentIndex(), 0);  // the choice stays
    EXPECT_FALSE(Form1->hasUnsavedChanges());

    // A change of the window's own: the file is not taken, and Ctrl+S asks.
    Form1->Edit2->setText("mgba-qt -f");
    addFromOutside("two.gb");
    const auto saveInPlace = [](int button) {
        ModalAnswerer answer([button](QWidget *box) { pressButton(box, button); });
        for (QShortcut *shortcut : Form1->findChildren<QShortcut *>())
            if (shortcut->key() == QKeySequence(QKeySequence::Save))
                Q_EMIT shortcut->activated();
        EXPECT_TRUE(answer.answered());
        return answer.seenText();
    };
    EXPECT_TRUE(saveInPlace(QMessageBox::No).startsWith(file + " was changed by another program"));
    EXPECT_EQ(vantorix::parseConfiguration(readFile(file)).gameList.size(), 3);
    EXPECT_EQ(Form1->ComboBox1->count(), 2);
    saveInPlace(QMessageBox::Yes);
    EXPECT_EQ(vantorix::parseConfiguration(readFile(file)).executables[0], "mgba-qt -f");

    // Settings, notes: neither loaded nor remembered as the configuration.
    const QString settings = writeFile(root + "/settings.ini", "[reader]\nnamesFromDatabases=true\n");
    {
        ModalAnswerer box(pressOk);
        EXPECT_FALSE(Form1->loadConfigurationFile(settings));
        EXPECT_EQ(box.seenText(), "Not a configuration file.");
    }
    EXPECT_EQ(vantorix::lastConfigurationFile(), file);
    EXPECT_EQ(readFile(settings), "[reader]\nnamesFromDatabases=true\n");
}

}  // namespace
