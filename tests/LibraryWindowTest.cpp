// The library window as a user goes through it: opened from the main
// window, counted, filtered, sorted, a game played, files copied in and
// removed while it is open, its size remembered.
#include "app/Forms.h"
#include "app/Unit1.h"
#include "library/LibraryStore.h"
#include "tests/WindowTestSupport.h"
#include "windows/LibraryWindow.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QShortcut>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

QStringList shownNames(LibraryWindow *library)
{
    QStringList names;
    for (int row = 0; row < library->filter()->rowCount(); ++row)
        names.append(library->filter()->index(row, vantorix::LibraryModel::Name).data().toString());
    return names;
}

TEST(LibraryWindow, OpenCountFilterPlayFollowAndRemember)
{
    QTemporaryDir dir;
    const QString games = QDir(dir.path()).canonicalPath() + "/games";
    const QByteArray star = readFile(SAMPLES_DIR "/roms/STARHOP.GB");
    QByteArray second = readFile(SAMPLES_DIR "/roms/TENNIS.GB");
    writeFile(games + "/STARHOP.GB", star);
    writeFile(games + "/Sports/TENNIS.GB", second);
    writeFile(games + "/COLOR/GARDEN.GB", readFile(SAMPLES_DIR "/roms/COLOR/GARDEN.GB"));
    vantorix::LibraryStore::addFolders({games});
    const QString recorder = writeFile(dir.filePath("bin/recorder"),
                                       "#!/bin/sh\nprintf '%s' \"$1\" > \"$0.args.tmp\"\nmv \"$0.args.tmp\" \"$0.args\"\n");
    QFile::setPermissions(recorder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    FormsGuard forms;
    showMainWindow();
    Form1->Edit3->setText(recorder);  // slot 2, checked at start
    for (QShortcut *shortcut : Form1->findChildren<QShortcut *>())
        if (shortcut->key() == QKeySequence(Qt::CTRL | Qt::Key_L))
            Q_EMIT shortcut->activated();
    LibraryWindow *library = Form1->library();
    ASSERT_TRUE(library && library->isVisible());
    ASSERT_TRUE(waitFor([&] { return !library->isReading() && library->filter()->totalCount() == 3; }));
    EXPECT_EQ(library->windowTitle(), "Library - 3 games");
    EXPECT_EQ(shownNames(library), QStringList({"COLOR GARDEN", "STAR HOPPER", "TINY TENNIS"}));
    EXPECT_EQ(library->filter()->index(0, vantorix::LibraryModel::System).data().toString(), "GBC");

    // Sorted by size, then back by name; filtered as the find matches.
    library->TableView->sortByColumn(vantorix::LibraryModel::Name, Qt::DescendingOrder);
    EXPECT_EQ(shownNames(library).constFirst(), "TINY TENNIS");
    library->TableView->sortByColumn(vantorix::LibraryModel::Name, Qt::AscendingOrder);
    library->FilterEdit->setFocus();
    QTest::keyClicks(library->FilterEdit, "tennis");
    EXPECT_EQ(library->windowTitle(), "Library - 1 of 3 games");
    EXPECT_EQ(shownNames(library), QStringList{"TINY TENNIS"});

    // Return in the filter plays the first game shown, as the main window
    // launches: its checked emulator, the game's whole path; one play.
    QTest::keyClick(library->FilterEdit, Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return QFile::exists(recorder + ".args"); }));
    EXPECT_EQ(readFile(recorder + ".args"), (games + "/Sports/TENNIS.GB").toUtf8());
    EXPECT_TRUE(waitFor([&] {
        return library->filter()->index(0, vantorix::LibraryModel::Played).data().toString() == "1";
    }));
    QTest::keyClick(library->FilterEdit, Qt::Key_Escape);
    EXPECT_EQ(library->filter()->shownCount(), 3);

    // A ROM copied in and one removed show within seconds, unasked.
    writeFile(games + "/new/RIVER.GB", star.left(0x134) + QByteArray("RIVER RUN\0\0\0\0\0\0\0", 16) + star.mid(0x144));
    ASSERT_TRUE(waitFor([&] { return shownNames(library).contains("RIVER RUN"); }, 10000));
    QFile::remove(games + "/STARHOP.GB");
    ASSERT_TRUE(waitFor([&] { return !shownNames(library).contains("STAR HOPPER"); }, 10000));
    EXPECT_EQ(library->windowTitle(), "Library - 3 games");

    // Size and columns remembered for the next opening.
    library->resize(1000, 640);
    library->TableView->horizontalHeader()->setSectionHidden(vantorix::LibraryModel::Folder, true);
    library->close();
    vantorix::destroyForms();
    vantorix::createForms(forms.catalogue());
    Form1->showLibrary();
    EXPECT_EQ(Form1->library()->size(), QSize(1000, 640));
    EXPECT_TRUE(Form1->library()->TableView->horizontalHeader()->isSectionHidden(vantorix::LibraryModel::Folder));
}

}  // namespace
