// Grabs every window of the program to a PNG file, for looking at them:
//   vantorix-screenshots OUTDIR [CONFIG]
// With CONFIG the windows show that configuration and its interface file;
// the ROMS reader lists the current folder; the main window is grabbed once
// more after its configuration was saved and loaded back.
#include "app/Fonts.h"
#include "app/Forms.h"
#include "app/Unit1.h"
#include "catalogue/Unit3.h"
#include "catalogue/Unit5.h"
#include "config/Configuration.h"
#include "config/TextFile.h"
#include "windows/Unit2.h"
#include "windows/Unit4.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

#include <cstdio>

static void grab(QWidget *window, const QString &file)
{
    window->show();
    QApplication::processEvents();
    window->grab().save(file);
    std::printf("%s\n", qUtf8Printable(file));
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
    vantorix::installFontFallbacks();
    vantorix::createForms();
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (argc > 2)
        Form1->loadConfigurationFile(QString::fromLocal8Bit(argv[2]));
    Form1->setStartupFile(QStringLiteral("/nonexistent"));  // no dialog at show
    chooseFirstEntry();
    // The error box for the missing start-up file is closed at once.
    QTimer::singleShot(0, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    grab(Form1, out.filePath(QStringLiteral("main.png")));
    Form2->Panel2->setVisible(true);
    grab(Form2, out.filePath(QStringLiteral("info.png")));
    grab(Form4, out.filePath(QStringLiteral("about.png")));
    grab(Form3, out.filePath(QStringLiteral("playlist.png")));
    grab(Form5, out.filePath(QStringLiteral("romsreader.png")));
    Form3->ListBox2->addItems(vantorix::listItems(Form5->FileListBox1));
    Form3->countRefresh();
    grab(Form3, out.filePath(QStringLiteral("playlist-filled.png")));
    // Saved and loaded back, the main window must look the same.
    const QString resaved = out.filePath(QStringLiteral("resaved.cfg"));
    vantorix::writeFileAtomically(resaved, vantorix::serializeConfiguration(Form1->configuration()));
    Form1->applyConfiguration(vantorix::Configuration());
    Form1->loadConfigurationFile(resaved);
    chooseFirstEntry();
    grab(Form1, out.filePath(QStringLiteral("main-reloaded.png")));
    vantorix::destroyForms();
    return 0;
}
