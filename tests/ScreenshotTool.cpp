// Grabs every window of the program to a PNG file, for looking at them:
//   vantorix-screenshots OUTDIR [CONFIG]
// With CONFIG the windows show that configuration and its interface file;
// the ROMS reader lists the current folder; the main window is grabbed once
// more after its configuration was saved and loaded back.
#include "widgets/ErrorBox.h"
#include "widgets/Fonts.h"
#include "app/Forms.h"
#include "reading/Catalogue.h"
#include "rom/GameListEntry.h"
#include "widgets/PlainText.h"
#include "platform/Translations.h"
#include "app/Unit1.h"
#include "library/LibraryStore.h"
#include "windows/LibraryWindow.h"
#include "catalogue/Unit3.h"
#include "names/GameDatabase.h"
#include "catalogue/Unit5.h"
#include "settings/Configuration.h"
#include "settings/TextFile.h"
#include "windows/Unit2.h"
#include "windows/Unit4.h"

#include "settings/UserSettings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QDir>
#include <QDirIterator>
#include <QCursor>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <QHelpEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QToolTip>

#include <cstdio>

// The reader is drawn once its folder is listed and read.
static void waitForReading()
{
    while (Form5->isReading())
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
}

static void grab(QWidget *window, const QString &file)
{
    window->show();
    QApplication::processEvents();
    waitForReading();
    window->grab().save(file);
    std::printf("%s\n", qUtf8Printable(file));
}

static void grabWindow(QWidget *window, const QString &file)
{
    window->grab().save(file);
    std::printf("%s\n", qUtf8Printable(file));
}

// A tool-tip as the lists show it, grabbed.
static void showToolTipOf(const QString &text, const QString &file)
{
    QToolTip::showText(Form1->mapToGlobal(QPoint(20, 90)), vantorix::plainToolTip(text), Form1);
    QApplication::processEvents();
    std::printf("%s\n", qUtf8Printable(QStringLiteral("tool-tip: ") + QToolTip::text()));
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->inherits("QTipLabel") && top->isVisible())
            grabWindow(top, file);
    QToolTip::hideText();
}

// Shows the selection line of a chosen entry, as a user's choice does.
static void chooseFirstEntry()
{
    if (Form1->ComboBox1->count() == 0)
        return;
    Form1->ComboBox1->setCurrentIndex(0);
    Form1->ComboBox1Change(Form1->ComboBox1);
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: vantorix-screenshots OUTDIR [CONFIG]\n");
        return 2;
    }
    // The windows' choices are the pictures', not the user's.
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(settings.filePath(QStringLiteral("data"))));
    qputenv("XDG_STATE_HOME", QFile::encodeName(settings.filePath(QStringLiteral("state"))));
    vantorix::UserSettings().setPictureDownloads(false);
    // A box art for each sample game, found by the ROM file's own name.
    if (argc > 2) {
        const QString boxes = settings.filePath(QStringLiteral("thumbnails/Nintendo - Game Boy/Named_Boxarts"));
        QDir().mkpath(boxes);
        const QDir roms(QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteDir().filePath(QStringLiteral("roms")));
        QDirIterator found(roms.path(), QDir::Files, QDirIterator::Subdirectories);
        while (found.hasNext()) {
            const QFileInfo rom(found.next());
            QImage box(240, 330, QImage::Format_RGB32);
            QPainter painter(&box);
            QLinearGradient sky(0, 0, 0, 330);
            sky.setColorAt(0, QColor(40, 60, 160));
            sky.setColorAt(1, QColor(200, 120, 40));
            painter.fillRect(box.rect(), sky);
            painter.setPen(Qt::white);
            painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 20, QFont::Bold));
            painter.drawText(box.rect().adjusted(10, 10, -10, -10), Qt::AlignCenter | Qt::TextWordWrap, rom.completeBaseName());
            painter.end();
            box.save(boxes + QLatin1Char('/') + rom.completeBaseName() + QStringLiteral(".png"));
        }
        vantorix::UserSettings().addPictureRoot(settings.filePath(QStringLiteral("thumbnails")));
    }
    vantorix::installTranslations();
    vantorix::installFontFallbacks();
    // The samples' database names the games in the last picture.
    const QStringList dats = argc > 2 ? QStringList{QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteDir().filePath(
                                            QStringLiteral("vantorix-samples.dat"))}
                                      : QStringList();
    vantorix::Catalogue catalogue(dats);
    vantorix::createForms(catalogue);
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (argc > 2)
        Form1->loadConfigurationFile(QString::fromLocal8Bit(argv[2]));
    Form1->setStartupFile(QStringLiteral("/nonexistent"));  // no dialog at show
    chooseFirstEntry();
    // The error box for the missing start-up file, which opens once the
    // window is on the screen, is closed at once.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&closer] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
        else if (Form1->hasStarted())
            closer.stop();
    });
    closer.start(20);
    Form1->show();
    while (closer.isActive())
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
    // A notice met later (a game database this machine has that cannot be
    // read whole) is closed too: the grabs go on.
    QTimer notices;
    QObject::connect(&notices, &QTimer::timeout, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    notices.start(200);
    grab(Form1, out.filePath(QStringLiteral("main.png")));
    Form2->Panel2->setVisible(true);
    grab(Form2, out.filePath(QStringLiteral("info.png")));
    grab(Form4, out.filePath(QStringLiteral("about.png")));
    grab(Form3, out.filePath(QStringLiteral("playlist.png")));
    grab(Form5, out.filePath(QStringLiteral("romsreader.png")));
    // Half-way through a reading: its bar shows how far it got.
    Form5->ProgressBar1->setRange(0, 2000);
    Form5->ProgressBar1->setValue(700);
    Form5->ProgressBar1->show();
    grabWindow(Form5, out.filePath(QStringLiteral("romsreader-reading.png")));
    Form5->ProgressBar1->hide();
    // The same folder with its subfolders.
    Form5->CheckBox1->setChecked(true);
    grab(Form5, out.filePath(QStringLiteral("romsreader-subfolders.png")));
    // And with the games' names from the samples' database.
    Form5->CheckBox2->setChecked(true);
    grab(Form5, out.filePath(QStringLiteral("romsreader-names.png")));
    // Enlarged: the lists grow, the other controls keep their places.
    for (QWidget *window : {static_cast<QWidget *>(Form1), static_cast<QWidget *>(Form5)}) {
        window->resize(window->minimumSize() + QSize(320, 160));
        grab(window, out.filePath(window->objectName() + QStringLiteral("-enlarged.png")));
        window->resize(window->minimumSize());
    }
    Form5->CheckBox2->setChecked(false);
    Form3->ListBox2->addItems(vantorix::listItems(Form5->FileListBox1));
    Form3->countRefresh();
    grab(Form3, out.filePath(QStringLiteral("playlist-filled.png")));
    Form3->resize(Form3->minimumSize() + QSize(320, 160));
    grab(Form3, out.filePath(QStringLiteral("TForm3-enlarged.png")));
    Form3->resize(Form3->minimumSize());
    // Saved and loaded back, the main window must look the same.
    const QString resaved = out.filePath(QStringLiteral("resaved.cfg"));
    vantorix::writeFileAtomically(resaved, vantorix::serializeConfiguration(Form1->configuration()));
    Form1->applyConfiguration(vantorix::Configuration());
    Form1->loadConfigurationFile(resaved);
    chooseFirstEntry();
    grab(Form1, out.filePath(QStringLiteral("main-reloaded.png")));
    // The open game list with a missing game greyed, and the tool-tips of
    // the main list and the ROMS reader.
    for (const char *lost : {"LOST GAME", "ANOTHER LOST ONE", "THIRD LOST"})
        Form1->ComboBox1->addItem(vantorix::composeEntry(QString::fromLatin1(lost), QStringLiteral("LOST.GB")));
    Form1->markMissingGames();
    Form1->show();
    Form1->ComboBox1->showPopup();
    QApplication::processEvents();
    grabWindow(Form1->ComboBox1->view()->window(), out.filePath(QStringLiteral("main-list-open.png")));
    std::printf("open list scroll bar shown: %d\n", int(Form1->ComboBox1->view()->verticalScrollBar()->isVisible()));
    Form1->ComboBox1->hidePopup();
    QApplication::processEvents();
    showToolTipOf(Form1->entryToolTip(Form1->ComboBox1->itemText(1)), out.filePath(QStringLiteral("main-tooltip.png")));
    showToolTipOf(Form1->ComboBox1->itemData(7, Qt::ToolTipRole).toString(),
                  out.filePath(QStringLiteral("missing-tooltip.png")));
    // The ROMS reader's tool-tip, as the pointer resting on an item shows it.
    Form5->show();
    QApplication::processEvents();
    const QRect item = Form5->FileListBox1->visualRect(Form5->FileListBox1->model()->index(1, 0));
    QToolTip::hideText();
    QElapsedTimer hiding;
    hiding.start();
    while (QToolTip::isVisible() && hiding.elapsed() < 30000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    // The pointer on the item, as a user's is: a tool-tip's picture shows
    // only while it rests there.
    QCursor::setPos(Form5->FileListBox1->viewport()->mapToGlobal(item.center()));
    QApplication::processEvents();
    QHelpEvent rest(QEvent::ToolTip, item.center(), Form5->FileListBox1->viewport()->mapToGlobal(item.center()));
    QApplication::sendEvent(Form5->FileListBox1->viewport(), &rest);
    // The details are read off the window's thread and shown once ready.
    QElapsedTimer watchdog;
    watchdog.start();
    while (!QToolTip::isVisible() && watchdog.elapsed() < 30000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->inherits("QTipLabel") && top->isVisible())
            grabWindow(top, out.filePath(QStringLiteral("romsreader-tooltip.png")));
    // Its box art, once read: resting on the item again shows both at once.
    while (!QToolTip::text().contains(QStringLiteral("data:image")) && watchdog.elapsed() < 3000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    QToolTip::hideText();
    QApplication::sendEvent(Form5->FileListBox1->viewport(), &rest);
    QApplication::processEvents();
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->inherits("QTipLabel") && top->isVisible())
            grabWindow(top, out.filePath(QStringLiteral("romsreader-tooltip-picture.png")));
    QToolTip::hideText();
    Form5->hide();
    std::printf("open list scroll bar shown: %d\n", int(Form1->ComboBox1->view()->verticalScrollBar()->isVisible()));
    // The find field over the game list, narrowing it.
    Form1->showFindField();
    if (auto *find = Form1->findChild<QLineEdit *>(QStringLiteral("FindField")))
        find->setText(QStringLiteral("ga"));
    grab(Form1, out.filePath(QStringLiteral("main-find.png")));
    Form1->ComboBox1->showPopup();
    QApplication::processEvents();
    grabWindow(Form1->ComboBox1->view()->window(), out.filePath(QStringLiteral("main-find-list.png")));
    Form1->ComboBox1->hidePopup();
    // The error box of a failed pass, as the ROMS reader shows it.
    QTimer::singleShot(200, [&out] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            grabWindow(box, out.filePath(QStringLiteral("error-box.png")));
            box->close();
        }
    });
    vantorix::reportError(QStringLiteral("3 files could not be read:\nbroken.zip: Damaged or truncated archive\n"
                                         "locked.zip: Password-protected archive\nshort.gb: Read beyond end of file"),
                          QStringLiteral("/home/someone/Games/Game Boy/Collections/Homebrew 2026/Very Long Folder Name/x"));
    Form1->Label3->setText(QStringLiteral("User selection: ") + QString(60, QLatin1Char('x')) + QStringLiteral("/end.gb"));
    grab(Form1, out.filePath(QStringLiteral("main-long-selection.png")));
    // The library of the sample games: the table with the picture pane,
    // then the covers.
    if (argc > 2) {
        vantorix::LibraryStore::addFolders(
            {QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteDir().filePath(QStringLiteral("roms"))});
        Form1->showLibrary();
        LibraryWindow *library = Form1->library();
        QElapsedTimer reading;
        reading.start();
        while ((library->isReading() || library->filter()->shownCount() == 0) && reading.elapsed() < 30000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        library->TableView->setCurrentIndex(library->filter()->index(1, 0));
        const auto settle = [](int ms) {
            QElapsedTimer waited;
            waited.start();
            while (waited.elapsed() < ms)
                QApplication::processEvents(QEventLoop::AllEvents, 20);
        };
        settle(1500);  // the details and pictures come off the window's thread
        grab(library, out.filePath(QStringLiteral("library.png")));
        library->GridButton->setChecked(true);
        settle(1500);
        grab(library, out.filePath(QStringLiteral("library-grid.png")));
        library->FilterEdit->setText(QStringLiteral("star"));
        grab(library, out.filePath(QStringLiteral("library-filtered.png")));
        // The collector's views: what the sets lack, one per game.
        library->FilterEdit->clear();
        library->GridButton->setChecked(false);
        library->CollectionBox->setCurrentIndex(LibraryWindow::Missing);
        settle(1500);
        library->MissingView->setCurrentIndex(library->MissingView->model()->index(0, 0));
        grab(library, out.filePath(QStringLiteral("library-missing.png")));
        library->CollectionBox->setCurrentIndex(LibraryWindow::WithSaves);
        settle(1500);
        library->TableView->setCurrentIndex(library->filter()->index(0, 0));
        settle(1000);
        grab(library, out.filePath(QStringLiteral("library-saves.png")));
    }
    vantorix::destroyForms();
    return 0;
}
