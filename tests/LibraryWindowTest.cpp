// The library window as a user goes through it: opened from the main
// window, counted, filtered, sorted, a game played, files copied in and
// removed while it is open, its size remembered.
#include "app/Forms.h"
#include "app/Unit1.h"
#include "library/LibraryFilter.h"
#include "library/LibraryStore.h"
#include "library/LibraryWatch.h"
#include "platform/FilePath.h"
#include "rom/GameListEntry.h"
#include "settings/Configuration.h"
#include "settings/ConfigurationFile.h"
#include "settings/LastConfiguration.h"
#include "settings/UserSettings.h"
#include "tests/HttpServer.h"
#include "tests/WindowTestSupport.h"
#include "windows/LibraryWindow.h"
#include "library/GameSaves.h"
#include "library/MissingGamesModel.h"
#include "names/GameDatabase.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QMessageBox>
#include <QMimeData>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QShortcut>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include <zlib.h>

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

    // A path that is not UTF-8 copied: readable text, and the real bytes.
    library->copyPath(vantorix::decodePath("/games/caf\xe9 1.gb"));
    const QMimeData *copied = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(copied);
    EXPECT_EQ(copied->text(), QString::fromUtf8("/games/caf\u00e9 1.gb"));
    EXPECT_EQ(copied->data("text/uri-list"), "file:///games/caf%E9%201.gb\r\n");

    // Quick filters: the Colour games alone; a favourite (Ctrl+D) alone;
    // the grid shows the same games with the same one chosen.
    library->SystemBox->setCurrentIndex(int(vantorix::LibraryFilter::SystemFilter::Colour));
    EXPECT_EQ(shownNames(library), QStringList{"COLOR GARDEN"});
    library->SystemBox->setCurrentIndex(int(vantorix::LibraryFilter::SystemFilter::All));
    library->TableView->setCurrentIndex(library->filter()->index(1, vantorix::LibraryModel::Name));
    for (QShortcut *shortcut : library->findChildren<QShortcut *>())
        if (shortcut->key() == QKeySequence(Qt::CTRL | Qt::Key_D))
            Q_EMIT shortcut->activated();
    ASSERT_TRUE(waitFor([&] { return shownNames(library).contains(QString::fromUtf8("\u2605 STAR HOPPER")); }));
    library->FavouritesBox->setChecked(true);
    EXPECT_EQ(shownNames(library), QStringList{QString::fromUtf8("\u2605 STAR HOPPER")});
    library->FavouritesBox->setChecked(false);
    library->GridButton->setChecked(true);
    EXPECT_EQ(library->GridView->model()->rowCount(), 3);
    EXPECT_EQ(library->GridView->currentIndex().data(vantorix::LibraryModel::PathRole).toString(), games + "/STARHOP.GB");
    library->GridButton->setChecked(false);

    // A ROM copied in and one removed show within seconds, unasked.
    writeFile(games + "/new/RIVER.GB", star.left(0x134) + QByteArray("RIVER RUN\0\0\0\0\0\0\0", 16) + star.mid(0x144));
    ASSERT_TRUE(waitFor([&] { return shownNames(library).contains("RIVER RUN"); }, 10000));
    QFile::remove(games + "/STARHOP.GB");
    ASSERT_TRUE(waitFor([&] { return !shownNames(library).join('\n').contains("STAR HOPPER"); }, 10000));
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

namespace {

// The library never holds the window: 20,000 folders walked and watched, a
// folder made among them, a game played while another program holds the
// store, 1,000 files arriving under the grid. Each pause is printed; the
// bounds lie far above them, so that only a wait on the window's thread
// (seconds, as before) fails on a loaded machine.
TEST(LibraryWindow, NeverWaitsOnFoldersLocksOrArrivals)
{
    QTemporaryDir dir;
    const QString games = QDir(dir.path()).canonicalPath() + "/games";
    const QByteArray star = readFile(SAMPLES_DIR "/roms/STARHOP.GB");
    writeFile(games + "/STARHOP.GB", star);
    for (int i = 0; i < 13'332; ++i)  // with their 6,666 parents and the library folder: 19,999
        ASSERT_TRUE(QDir().mkpath(games + QStringLiteral("/d%1/e").arg(i / 2) + QString::number(i % 2)));
    vantorix::LibraryStore::addFolders({games});
    const QString recorder = writeFile(dir.filePath("bin/recorder"), "#!/bin/sh\ntouch \"$0.ran\"\n");
    QFile::setPermissions(recorder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    FormsGuard forms;
    showMainWindow();
    Form1->Edit3->setText(recorder);
    qint64 openPause = 0, folderPause = 0, lockPause = 0, arrivalPause = 0;
    qint64 folderShownMs = 0;
    LibraryWindow *library = nullptr;
    {
        PauseMeter meter;
        Form1->showLibrary();
        library = Form1->library();
        ASSERT_TRUE(waitFor([&] { return !library->isReading() && library->filter()->totalCount() == 1; }, 120000));
        ASSERT_TRUE(waitFor([&] { return library->watch()->settled(); }, 120000));
        openPause = meter.longestMs();
    }
    EXPECT_FALSE(library->watch()->polling());

    // A folder made deep inside: its game shows, the rest is not read again.
    {
        PauseMeter meter;
        QElapsedTimer shown;
        shown.start();
        writeFile(games + "/d77/e1/new/RIVER.GB", star.left(0x134) + QByteArray("RIVER RUN\0\0\0\0\0\0\0", 16) + star.mid(0x144));
        ASSERT_TRUE(waitFor([&] { return shownNames(library).contains("RIVER RUN"); }, 60000));
        folderShownMs = shown.elapsed();
        folderPause = meter.longestMs();
    }

    // Another program holds the store: the game starts, the play waits in
    // the queue and is said; once the store is free it is counted.
    {
        auto held = std::make_unique<vantorix::ConfigurationLock>(vantorix::LibraryStore::defaultPath(), 0);
        PauseMeter meter;
        library->TableView->setCurrentIndex(library->filter()->index(0, 0));
        const QString chosen = library->filter()->index(0, 0).data(vantorix::LibraryModel::PathRole).toString();
        library->playRow(0);
        ASSERT_TRUE(waitFor([&] { return QFile::exists(recorder + ".ran"); }, 60000));
        ASSERT_TRUE(waitFor([&] { return library->StatusLine->text().contains("not counted yet"); }, 60000));
        lockPause = meter.longestMs();
        held.reset();
        ASSERT_TRUE(waitFor([&] { return library->StatusLine->text() == "Every play is counted."; }, 60000));
        EXPECT_TRUE(waitFor([&] {
            const int row = library->model()->rowOf(chosen);
            return row >= 0 && library->model()->play(row).count == 1;
        }));
        // The choice survives the store taken again.
        EXPECT_EQ(library->TableView->currentIndex().data(vantorix::LibraryModel::PathRole).toString(), chosen);
    }

    // 1,000 files arriving while the grid shows.
    library->GridButton->setChecked(true);
    {
        PauseMeter meter;
        // Copied in by another program, as a file manager would.
        std::thread copier([&] {
            for (int i = 0; i < 1000; ++i)
                writeFile(games + QStringLiteral("/d%1/e0/NEW%2.GB").arg(i % 50).arg(i), star);
        });
        const bool arrived = waitFor([&] { return library->filter()->totalCount() == 1002; }, 120000);
        copier.join();
        ASSERT_TRUE(arrived);
        ASSERT_TRUE(waitFor([&] { return library->filter()->totalCount() == 1002 && !library->isReading(); }, 120000));
        arrivalPause = meter.longestMs();
    }
    std::printf("longest pause: opening 20,000 folders %lld ms, a folder made %lld ms (its game shown after %lld ms), "
                "playing under a held lock %lld ms, 1,000 arrivals under the grid %lld ms\n",
                openPause, folderPause, folderShownMs, lockPause, arrivalPause);
    for (const qint64 pause : {openPause, folderPause, lockPause, arrivalPause})
        EXPECT_LT(pause, 1500);
}

}  // namespace

namespace {

// The user's way in: kelpad --library opens the library with the last
// configuration and no question; Recently played puts the last game first
// and chooses it, so that Return plays it; the filter finds names and file
// names, not extensions; Ctrl+Q quits from the library, after the question
// the main window asks.
TEST(LibraryWindow, FrontDoorComeBackTomorrow)
{
    QTemporaryDir dir;
    const QString games = QDir(dir.path()).canonicalPath() + "/games";
    const QByteArray star = readFile(SAMPLES_DIR "/roms/STARHOP.GB");
    writeFile(games + "/STARHOP.GB", star);
    writeFile(games + "/TENNIS.GB", readFile(SAMPLES_DIR "/roms/TENNIS.GB"));
    writeFile(games + "/bbb.gb", star.left(0x134) + QByteArray("CASTLE\0\0\0\0\0\0\0\0\0\0", 16) + star.mid(0x144));
    vantorix::LibraryStore::addFolders({games});
    const QDateTime now = QDateTime::currentDateTimeUtc();
    vantorix::LibraryStore::recordPlay(games + "/STARHOP.GB", now.addDays(-2));
    vantorix::LibraryStore::recordPlay(games + "/TENNIS.GB", now.addDays(-1));  // the last played
    const QString recorder = writeFile(dir.filePath("bin/recorder"),
                                       "#!/bin/sh\nprintf '%s' \"$1\" > \"$0.args.tmp\"\nmv \"$0.args.tmp\" \"$0.args\"\n");
    QFile::setPermissions(recorder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    vantorix::Configuration config;
    config.executables[1] = recorder;
    vantorix::rememberLastConfiguration(writeFile(dir.filePath("mine.cfg"), vantorix::serializeConfiguration(config)));

    FormsGuard forms;
    Form1->setOpensLibrary(true);
    startMainWindow();  // no dialog: a ModalAnswerer would find none
    ASSERT_TRUE(waitFor([] { return Form1->library() && Form1->library()->isVisible(); }));
    LibraryWindow *library = Form1->library();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(Form1->Edit3->text(), recorder);  // the last configuration, loaded unasked
    ASSERT_TRUE(waitFor([&] { return !library->isReading() && library->filter()->totalCount() == 3; }));

    // "b" finds the game named with a b and the file named so, not every
    // ".gb".
    library->FilterEdit->setText("b");
    EXPECT_EQ(shownNames(library), QStringList({"CASTLE"}));
    library->FilterEdit->clear();

    // Come back tomorrow: Recently played, Return.
    library->RecentBox->setChecked(true);
    ASSERT_TRUE(waitFor([&] { return library->TableView->currentIndex().isValid(); }));
    EXPECT_EQ(shownNames(library), QStringList({"TINY TENNIS", "STAR HOPPER"}));
    EXPECT_EQ(library->TableView->currentIndex().row(), 0);
    QTest::keyClick(library->TableView, Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return QFile::exists(recorder + ".args"); }));
    EXPECT_EQ(readFile(recorder + ".args"), (games + "/TENNIS.GB").toUtf8());
    library->RecentBox->setChecked(false);
    EXPECT_EQ(library->TableView->horizontalHeader()->sortIndicatorSection(), vantorix::LibraryModel::Name);

    // A slot without an emulator says why, rather than nothing.
    Form1->Edit3->clear();
    {
        ModalAnswerer box(pressOk);
        library->playRow(0);
        EXPECT_TRUE(waitFor([&] { return box.answered(); }));
        EXPECT_EQ(box.seenText(), "No emulator is set in slot 2.");
    }

    // Added to the game list once, by whatever path; never past its 680.
    Form1->ComboBox1->clear();
    for (int i = 0; i < 678; ++i)
        Form1->ComboBox1->addItem(vantorix::composeEntry("X", QStringLiteral("X%1.GB").arg(i)));
    {
        ModalAnswerer box(pressOk);
        Form1->addGamesToList({games + "/STARHOP.GB", games + "/./STARHOP.GB", games + "/TENNIS.GB", games + "/bbb.gb"});
        EXPECT_TRUE(waitFor([&] { return box.answered(); }));
        EXPECT_TRUE(box.seenText().startsWith("MAX ROMS: 680")) << box.seenText().toStdString();
    }
    EXPECT_EQ(Form1->ComboBox1->count(), 680);
    EXPECT_TRUE(Form1->ComboBox1->itemText(678).endsWith("STARHOP.GB)"));
    EXPECT_TRUE(Form1->ComboBox1->itemText(679).endsWith("TENNIS.GB)"));

    // Ctrl+Q from the library asks about the unsaved change, as Quit does.
    {
        ModalAnswerer question([](QWidget *box) { pressButton(box, QMessageBox::Cancel); });
        for (QShortcut *shortcut : library->findChildren<QShortcut *>())
            if (shortcut->key() == QKeySequence(Qt::CTRL | Qt::Key_Q))
                Q_EMIT shortcut->activated();
        EXPECT_TRUE(waitFor([&] { return question.answered(); }));
    }
    EXPECT_TRUE(Form1->isVisible());
}

// A collector's evening: what the set lacks, the copies, one of each game,
// a save backed up and put back.
TEST(LibraryWindow, CollectorsMissingDuplicatesOnePerGameAndSaves)
{
    QTemporaryDir dir;
    const QString games = QDir(dir.path()).canonicalPath() + "/games";
    const QByteArray star = readFile(SAMPLES_DIR "/roms/STARHOP.GB");
    writeFile(games + "/STARHOP.GB", star);
    writeFile(games + "/copies/Star Hopper.gb", star);
    writeFile(games + "/TENNIS.GB", readFile(SAMPLES_DIR "/roms/TENNIS.GB"));
    const QString save = writeFile(games + "/STARHOP.sav", "SAVE ONE");
    writeFile(vantorix::userDatFolder() + "/samples.dat", readFile(SAMPLES_DIR "/vantorix-samples.dat"));
    vantorix::LibraryStore::addFolders({games});

    FormsGuard forms;
    showMainWindow();
    Form1->showLibrary();
    LibraryWindow *library = Form1->library();
    ASSERT_TRUE(library && library->isVisible());
    ASSERT_TRUE(waitFor([&] { return !library->isReading() && library->filter()->totalCount() == 3; }));

    // Missing: the sample set's games no file holds, grey and apart.
    library->CollectionBox->setCurrentIndex(LibraryWindow::Missing);
    ASSERT_TRUE(waitFor([&] { return library->missingGames()->rowCount() > 0; }));
    EXPECT_EQ(library->Views->currentWidget(), library->MissingView);
    EXPECT_EQ(library->missingGames()->rowCount(), 3);  // the colour set knows no file: not audited
    EXPECT_TRUE(library->StatusLine->text().contains("have 2 of 5")) << library->StatusLine->text().toStdString();
    library->MissingView->setCurrentIndex(library->missingGames()->index(0, 0));
    EXPECT_TRUE(library->DetailsText->toPlainText().startsWith("Missing from your library"));

    // Duplicates: each copy a row; one per game: one of them.
    library->CollectionBox->setCurrentIndex(LibraryWindow::Duplicates);
    EXPECT_EQ(library->Views->currentWidget(), library->TableView);
    EXPECT_EQ(shownNames(library), QStringList({"Star Hopper (World) (Rev 1)", "Star Hopper (World) (Rev 1)"}));
    EXPECT_EQ(library->filter()->index(0, vantorix::LibraryModel::Copies).data().toString(), "2");
    library->CollectionBox->setCurrentIndex(LibraryWindow::OnePerGame);
    EXPECT_EQ(shownNames(library), QStringList({"Star Hopper (World) (Rev 1)", "Tiny Tennis, The (USA)"}));

    // With saves: the one game with a save; backed up, then put back.
    library->CollectionBox->setCurrentIndex(LibraryWindow::WithSaves);
    ASSERT_TRUE(waitFor([&] { return library->filter()->shownCount() == 1; }));
    EXPECT_FALSE(library->filter()->index(0, vantorix::LibraryModel::Save).data().toString().isEmpty());
    const QString name = "Star Hopper (World) (Rev 1)";
    library->backUpSaves({games + "/STARHOP.GB"});
    ASSERT_TRUE(waitFor([&] { return vantorix::saveBackups(name).size() == 1; }));
    const QString backup = vantorix::saveBackups(name).constFirst();
    EXPECT_EQ(readFile(backup), "SAVE ONE");
    writeFile(save, "SAVE TWO");
    library->putBackSave(games + "/STARHOP.GB", backup);
    ASSERT_TRUE(waitFor([&] { return readFile(save) == "SAVE ONE"; }));
    EXPECT_EQ(vantorix::saveBackups(name).size(), 2);  // the save it replaced, kept first
    library->CollectionBox->setCurrentIndex(LibraryWindow::AllGames);
    EXPECT_EQ(library->filter()->shownCount(), 3);
}

}  // namespace

namespace {

// Names out of the box: the library's pane asks once, Download fetches the
// names from the server (one on this machine), and the library and the
// game list take them without a restart.
TEST(LibraryWindow, GameNamesAskedDownloadedAndTaken)
{
    QTemporaryDir dir;
    const QString games = QDir(dir.path()).canonicalPath() + "/games";
    const QByteArray star = readFile(SAMPLES_DIR "/roms/STARHOP.GB");
    writeFile(games + "/STARHOP.GB", star);
    vantorix::LibraryStore::addFolders({games});
    // A list of 120 games, one of them the sample's ROM by its CRC32.
    const auto dat = [&](const QByteArray &system, const QByteArray &named) {
        QByteArray text = "clrmamepro (\n\tname \"" + system + "\"\n\tversion 1\n)\n";
        for (int i = 0; i < 120; ++i) {
            const bool ours = i == 0 && !named.isEmpty();
            const QByteArray name = ours ? named : "Other " + QByteArray::number(i) + " (World)";
            const quint32 crc = ours ? quint32(::crc32(0, reinterpret_cast<const Bytef *>(star.constData()), uInt(star.size())))
                                     : quint32(i + 1);
            text += "game ( name \"" + name + "\" rom ( name \"x.gb\" size " + QByteArray::number(ours ? star.size() : 32768)
                    + " crc " + QByteArray::number(crc, 16).rightJustified(8, '0') + " ) )\n";
        }
        return text;
    };
    LocalServer server;
    ASSERT_TRUE(server.isListening());
    server.answers["/Nintendo - Game Boy.dat"] = [&](QTcpSocket *s) {
        LocalServer::reply(s, "200 OK", dat("Nintendo - Game Boy", "Star Hopper Deluxe (Europe)"));
    };
    server.answers["/Nintendo - Game Boy Color.dat"] = [&](QTcpSocket *s) {
        LocalServer::reply(s, "200 OK", dat("Nintendo - Game Boy Color", QByteArray()));
    };
    qputenv("VANTORIX_DATABASE_URL", server.url().toUtf8());

    FormsGuard forms;
    vantorix::UserSettings().setNamesFromDatabases(true);
    showMainWindow();
    Form1->replaceGameList({vantorix::composeEntry("STAR HOPPER", games + "/STARHOP.GB")});
    Form1->showLibrary();
    LibraryWindow *library = Form1->library();
    ASSERT_TRUE(waitFor([&] { return library->NamesBox->isVisible(); }));
    EXPECT_TRUE(library->NamesQuestion->text().startsWith("Download the game names for Game Boy and Game Boy Color"));
    QTest::mouseClick(library->NamesDownload, Qt::LeftButton);
    EXPECT_FALSE(library->NamesBox->isVisible());
    EXPECT_EQ(vantorix::UserSettings().gameNameDownloads(), vantorix::UserSettings::Downloads::Allowed);
    ASSERT_TRUE(waitFor([&] { return shownNames(library).contains("Star Hopper Deluxe (Europe)"); }, 60000))
        << library->StatusLine->text().toStdString() << " " << shownNames(library).join(",").toStdString();
    EXPECT_TRUE(waitFor([] { return Form1->ComboBox1->itemText(0).startsWith("Star Hopper Deluxe (Europe)"); }, 60000))
        << Form1->ComboBox1->itemText(0).toStdString();
    qunsetenv("VANTORIX_DATABASE_URL");
}

}  // namespace
