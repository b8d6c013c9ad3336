// The main window's selection and launch, on the real window.
#include "app/FmxUtils.h"
#include "app/Forms.h"
#include "app/GameListEntry.h"
#include "app/Unit1.h"
#include "tests/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QThread>

#include <gtest/gtest.h>

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
    }

    // The arguments the recorder received, or nothing after the timeout.
    QStringList recorded(const QString &program, int timeoutMs = 5000)
    {
        QElapsedTimer timer;
        timer.start();
        const QString file = program + ".args";
        while (!QFile::exists(file) && timer.elapsed() < timeoutMs) {
            QApplication::processEvents();
            QThread::msleep(10);
        }
        QByteArray bytes = readFile(file);
        QFile::remove(file);
        if (bytes.isEmpty())
            return {};
        bytes.chop(1);
        QStringList args;
        for (const QByteArray &arg : bytes.split('\0'))
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
    EXPECT_TRUE(Form1->Label8->isEnabled());

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

    // A name that matches no file is passed as it stands.
    choose(composeEntry("", "MISSING.GB"));
    Form1->Label8Click(Form1->Label8);
    EXPECT_EQ(recorded(recorder), QStringList{dir.filePath("roms/MISSING.GB")});
}

TEST_F(Launch, EachSlotStartsItsOwnExecutable)
{
    const QString other = dir.filePath("bin/other");
    QFile::copy(recorder, other);
    QFile::setPermissions(other, QFile::ReadOwner | QFile::ExeOwner);
    Form1->Edit2->setText(other);
    Form1->Edit4->setText(other);
    Form1->Edit1->setText("/g");
    choose(composeEntry("", "A.GB"));

    Form1->RadioButton1->setChecked(true);
    Form1->Label8Click(Form1->Label8);
    EXPECT_EQ(recorded(other), QStringList{"/g/A.GB"});

    Form1->RadioButton2->setChecked(true);
    Form1->Label8Click(Form1->Label8);
    EXPECT_EQ(recorded(recorder), QStringList{"/g/A.GB"});
    EXPECT_TRUE(recorded(other, 300).isEmpty());

    Form1->RadioButton3->setChecked(true);
    Form1->Label8Click(Form1->Label8);
    EXPECT_EQ(recorded(other), QStringList{"/g/A.GB"});
}

TEST_F(Launch, LauncherDoesNotWaitForTheEmulator)
{
    choose(composeEntry("", "A.GB"));
    Form1->Label8Click(Form1->Label8);
    // The recorder lingers two seconds before it leaves its mark.
    EXPECT_FALSE(QFile::exists(recorder + ".done"));
    EXPECT_EQ(recorded(recorder), QStringList{QDir::currentPath() + "/A.GB"});
}

TEST_F(Launch, ShellCharactersReachTheEmulatorAsText)
{
    const QString marker = dir.filePath("pwned");
    const QString name = QStringLiteral("A;touch %1;$(touch %1)`touch %1`'\"|&.GB").arg(marker);
    Form1->Edit1->setText(dir.path());
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
    Form1->Edit1->setText(dir.path());
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
