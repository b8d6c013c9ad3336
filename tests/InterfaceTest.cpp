// The interface file applied by a configuration load, and the bundled
// sample setup.
#include "app/Forms.h"
#include "rom/GameListEntry.h"
#include "app/FmxUtils.h"
#include "app/Unit1.h"
#include "names/CartridgeDetails.h"
#include "catalogue/Unit3.h"
#include "settings/Configuration.h"
#include "tests/WindowTestSupport.h"
#include "windows/Unit2.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QProcess>
#include <QThread>

#include <memory>
#include <vector>

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// The 18 positional texts of an interface file, distinct and with spaces at
// their ends where they would be easy to lose.
QStringList positionalTexts(const QString &tag)
{
    QStringList texts;
    for (int line = 5; line <= 22; ++line)
        texts.append(QStringLiteral(" %1 line %2 ").arg(tag).arg(line));
    return texts;
}

QByteArray interfaceFile(const QStringList &texts, const QStringList &help = {})
{
    QByteArray bytes = "free 1\r\nfree 2\r\n\r\nfree 4\r\n";
    for (const QString &line : texts + help)
        bytes += line.toUtf8() + "\r\n";
    return bytes;
}

// A hint as the interface file gave it, without the key the window adds.
QString hintOf(const QWidget *widget)
{
    return widget->toolTip().remove(QRegularExpression(" ?\\([^()]*\\)$"));
}

// The 18 targets in file order (line 10 counted once, on the main window).
QStringList appliedTexts()
{
    return {Form1->Label2->text(),         Form1->Label8->text(),     Form1->Label3->text(),
            Form1->Label5->text(),         Form1->GroupBox2->title(), Form1->Label7->text(),
            hintOf(Form1->Button3),        hintOf(Form1->Button4),    hintOf(Form1->Button5),
            hintOf(Form1->Label6),         Form3->windowTitle(),      Form3->Label1->text(),
            Form3->Label2->text(),         Form3->Label7->text(),     Form3->Label8->text(),
            Form3->Label9->text(),         Form3->Label10->text(),    Form3->Label11->text()};
}

class Interface : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QDir().mkpath(dir.filePath("elsewhere"));
        QDir::setCurrent(dir.filePath("elsewhere"));
    }

    // Saves a configuration naming interfaceName beside the interface files
    // and loads it as the load action does.
    void loadNaming(const QString &interfaceName, const QString &folder = QString())
    {
        vantorix::Configuration config;
        config.interfaceName = vantorix::truncatedInterfaceName(interfaceName);
        const QString path = QDir(folder.isEmpty() ? dir.path() : folder).filePath("setup.cfg");
        writeFile(path, vantorix::serializeConfiguration(config));
        ASSERT_TRUE(Form1->loadConfigurationFile(path));
    }

    FormsGuard forms;
    CurrentFolderGuard folder;
    QTemporaryDir dir;
};

TEST_F(Interface, EveryLineReachesItsTargetsAsRead)
{
    const QStringList texts = positionalTexts("A");
    const QString caption = Form1->windowTitle();
    writeFile(dir.filePath("a.txt"), interfaceFile(texts, {"help one ", "", "  help three", ""}));
    loadNaming("a.txt");
    EXPECT_EQ(appliedTexts(), texts);
    // Line 10 goes to the info link and to the Info window's title.
    EXPECT_EQ(Form2->windowTitle(), texts.at(5));
    // Blank lines are help lines too; the last line end adds none.
    EXPECT_EQ(Form3->helpLines(), QStringList({"help one ", "", "  help three", ""}));
    // Texts no line names stay as they were.
    EXPECT_EQ(Form1->windowTitle(), caption);
    EXPECT_EQ(Form1->Label1->text(), QStringLiteral("Vantorix"));
    EXPECT_EQ(Form3->Label5->text(), QStringLiteral("Cancel"));
}

TEST_F(Interface, ShortFilesEmptyTheTargets)
{
    writeFile(dir.filePath("full.txt"), interfaceFile(positionalTexts("F"), {"help"}));
    writeFile(dir.filePath("exact.txt"), interfaceFile(positionalTexts("E")));
    writeFile(dir.filePath("four.txt"), "1\r\n2\r\n3\r\n4\r\n");
    writeFile(dir.filePath("empty.txt"), "");

    loadNaming("full.txt");
    loadNaming("exact.txt");
    EXPECT_EQ(appliedTexts(), positionalTexts("E"));
    EXPECT_TRUE(Form3->helpLines().isEmpty());

    for (const char *name : {"four.txt", "empty.txt"}) {
        loadNaming("full.txt");
        loadNaming(name);
        EXPECT_EQ(appliedTexts(), QStringList(18, QString())) << name;
        EXPECT_TRUE(Form2->windowTitle().isEmpty());
        EXPECT_TRUE(Form3->helpLines().isEmpty());
    }
}

TEST_F(Interface, MissingEmptyOrCutNamesChangeNothing)
{
    const QStringList before = appliedTexts();
    const QStringList helpBefore = Form3->helpLines();
    loadNaming("missing.txt");
    loadNaming("");
    EXPECT_EQ(appliedTexts(), before);
    EXPECT_EQ(Form3->helpLines(), helpBefore);

    // Only the first 11 characters of the name are stored.
    writeFile(dir.filePath("interface-long.txt"), interfaceFile(positionalTexts("L")));
    loadNaming("interface-long.txt");
    EXPECT_EQ(Form1->interfaceName(), QStringLiteral("interface-l"));
    EXPECT_EQ(appliedTexts(), before);
    writeFile(dir.filePath("interface-l"), interfaceFile(positionalTexts("S")));
    loadNaming("interface-long.txt");
    EXPECT_EQ(appliedTexts(), positionalTexts("S"));

    // The design-time texts are never restored.
    loadNaming("");
    loadNaming("missing.txt");
    EXPECT_EQ(appliedTexts(), positionalTexts("S"));
}

TEST_F(Interface, BareNameLookupOrder)
{
    const QString configFolder = dir.filePath("config");
    const QString programFile = QDir(QCoreApplication::applicationDirPath()).filePath("order.txt");
    struct Remove {
        QString path;
        ~Remove() { QFile::remove(path); }
    } removeProgramFile{programFile};
    writeFile(programFile, interfaceFile(positionalTexts("program")));
    QDir().mkpath(configFolder);

    loadNaming("order.txt", configFolder);
    EXPECT_EQ(appliedTexts(), positionalTexts("program"));
    writeFile(configFolder + "/order.txt", interfaceFile(positionalTexts("config")));
    loadNaming("order.txt", configFolder);
    EXPECT_EQ(appliedTexts(), positionalTexts("config"));
    writeFile(QDir::current().filePath("order.txt"), interfaceFile(positionalTexts("current")));
    loadNaming("order.txt", configFolder);
    EXPECT_EQ(appliedTexts(), positionalTexts("current"));

    // A name with a folder part is used as it stands, never looked up.
    writeFile(configFolder + "/sub/x.txt", interfaceFile(positionalTexts("sub")));
    loadNaming("sub/x.txt", configFolder);
    EXPECT_EQ(appliedTexts(), positionalTexts("current"));
}

TEST_F(Interface, HintsAreToolTipsAndAnEmptyHintShowsNone)
{
    QStringList texts = positionalTexts("H");
    texts[6] = QString();  // line 11: the save button's hint
    writeFile(dir.filePath("h.txt"), interfaceFile(texts));
    loadNaming("h.txt");
    EXPECT_EQ(Form1->Button3->toolTip(), QStringLiteral("(Ctrl+S)"));  // the key alone
    EXPECT_EQ(hintOf(Form1->Button4), texts.at(7));
    EXPECT_EQ(Form1->Label6->toolTip(), texts.at(9) + " (Ctrl+Q)");
}

TEST_F(Interface, BundledInterfaceFiles)
{
    for (const char *name : {"english.txt", "italian.txt"})
        QFile::copy(QStringLiteral(SAMPLES_DIR "/") + name, dir.filePath(name));
    const QStringList designTexts = appliedTexts();
    const QStringList designHelp = Form3->helpLines();
    const QString designInfoTitle = Form2->windowTitle();

    loadNaming("italian.txt");
    const QStringList italian = appliedTexts();
    for (int i = 0; i < italian.size(); ++i) {
        EXPECT_FALSE(italian.at(i).isEmpty()) << "line " << i + 5;
        // "info" reads the same in both languages.
        if (i != 5) {
            EXPECT_NE(italian.at(i), designTexts.at(i)) << "line " << i + 5;
        }
    }
    EXPECT_EQ(Form3->helpLines().size(), 3);

    // English gives back the design-time texts and adds the hints.
    loadNaming("english.txt");
    QStringList expected = designTexts;
    expected[6] = QStringLiteral("Save configuration");
    expected[7] = QStringLiteral("Load configuration");
    expected[8] = QStringLiteral("Edit playlist");
    EXPECT_EQ(appliedTexts(), expected);
    EXPECT_EQ(Form3->helpLines(), designHelp);
    EXPECT_EQ(designInfoTitle, QStringLiteral("Info"));
    EXPECT_EQ(Form2->windowTitle(), QStringLiteral("info"));
}

TEST(SampleSetup, LoadsAndListsTheSampleRoms)
{
    FormsGuard forms;
    CurrentFolderGuard folder;
    const QString samples = QStringLiteral(SAMPLES_DIR);
    const QString roms = samples + "/roms";
    ASSERT_TRUE(QDir::setCurrent(roms));
    ASSERT_TRUE(Form1->loadConfigurationFile(samples + "/vantorix.cfg"));

    EXPECT_EQ(Form1->interfaceName(), QStringLiteral("english.txt"));
    // Found beside the configuration, though the current folder is the ROMs'.
    EXPECT_EQ(Form1->Button3->toolTip(), QStringLiteral("Save configuration (Ctrl+S)"));
    EXPECT_EQ(QDir(Form1->Edit1->text()).canonicalPath(), QDir(roms).canonicalPath());
    EXPECT_EQ(Form1->Edit2->text(), QStringLiteral("mgba-qt"));
    EXPECT_EQ(Form1->Edit3->text(), QStringLiteral("mgba"));
    EXPECT_EQ(Form1->Edit4->text(), QStringLiteral("vba"));
    for (int i = 0; i < vantorix::kInfoLineCount; ++i)
        EXPECT_FALSE(Form2->infoLabel(i)->text().isEmpty()) << "info line " << i + 1;

    const QStringList entries = vantorix::listItems(Form1->ComboBox1);
    ASSERT_GE(entries.size(), 5);
    for (const QString &entry : entries) {
        const QString path = vantorix::joinRomPath(Form1->Edit1->text(), vantorix::romFileName(entry));
        EXPECT_TRUE(QFile::exists(path)) << entry.toStdString();
        EXPECT_FALSE(vantorix::ExtractRomKey(entry).trimmed().isEmpty());
    }
    // One game zipped, one in a folder of its own.
    EXPECT_TRUE(entries.contains(vantorix::composeEntry("RIVER RACE", "RIVERACE.ZIP")));
    EXPECT_TRUE(entries.contains(vantorix::composeEntry("COLOR GARDEN", "COLOR/GARDEN.GB")));

    QProcess scan;
    scan.start(QStringLiteral(KELPAD_PATH), {"--scan", roms, "--mask", "*.gb;*.zip"});
    ASSERT_TRUE(scan.waitForFinished(20000));
    EXPECT_EQ(scan.exitCode(), 0);
    QString printed = QString::fromUtf8(scan.readAllStandardOutput());
    printed.chop(1);
    EXPECT_EQ(entries.filter(QRegularExpression("^[^/]*$")), printed.split('\n'));
}

TEST(SampleSetup, RomImagesAreSoundAndRunInARealEmulator)
{
    const QDir roms(QStringLiteral(SAMPLES_DIR "/roms"));
    QStringList names = roms.entryList({QStringLiteral("*.GB"), QStringLiteral("*.ZIP")}, QDir::Files);
    names.append(QStringLiteral("COLOR/GARDEN.GB"));
    ASSERT_GE(names.size(), 7);
    for (const QString &name : names) {
        const vantorix::CartridgeDetails details = vantorix::readCartridgeDetails(roms.filePath(name));
        EXPECT_TRUE(details.logoValid) << name.toStdString();
        EXPECT_TRUE(details.headerChecksumValid()) << name.toStdString();
        EXPECT_TRUE(details.globalChecksumValid()) << name.toStdString();
        EXPECT_EQ(details.declaredRomBytes, details.imageBytes) << name.toStdString();
    }

    // mgba refuses a file it cannot run at once, with status 1; a ROM it
    // accepts keeps it running.
    const QString mgba = vantorix::findExecutable(QStringLiteral("mgba"));
    if (mgba.isEmpty())
        GTEST_SKIP() << "mgba (Debian's mgba-sdl) is not installed";
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("SDL_VIDEODRIVER", "dummy");
    environment.insert("SDL_AUDIODRIVER", "dummy");
    // mgba writes a save file beside the ROM: it runs copies.
    QTemporaryDir copies;
    QStringList paths{writeFile(copies.filePath("notes.txt"), "no ROM")};
    for (const QString &name : names) {
        paths.append(copies.filePath(QFileInfo(name).fileName()));
        QFile::copy(roms.filePath(name), paths.back());
    }
    std::vector<std::unique_ptr<QProcess>> running;
    for (const QString &path : paths) {
        running.push_back(std::make_unique<QProcess>());
        running.back()->setProcessEnvironment(environment);
        running.back()->start(mgba, {path});
    }
    // The refusal is waited for, however slow the machine; by then, and a
    // second later, every ROM still runs.
    EXPECT_TRUE(running.front()->waitForFinished(120000));
    EXPECT_EQ(running.front()->exitCode(), 1);
    QThread::sleep(1);
    for (size_t i = 1; i < running.size(); ++i) {
        QProcess &process = *running[i];
        EXPECT_FALSE(process.waitForFinished(0)) << process.arguments().value(0).toStdString();
        process.kill();
        process.waitForFinished(60000);
    }
}

}  // namespace
