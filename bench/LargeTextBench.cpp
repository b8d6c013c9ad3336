// Configuration and interface files of 10 MB, each with its bulk in one
// kind of text: every window opened, drawn and closed, beside reading the
// same file.
#include "app/Forms.h"
#include "reading/Catalogue.h"
#include "app/Unit1.h"
#include "bench/BenchFolders.h"
#include "catalogue/Unit3.h"
#include "settings/Configuration.h"
#include "settings/TextFile.h"
#include "windows/Unit2.h"
#include "windows/Unit4.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kBulk = 10 * 1000 * 1000;

enum Kind {
    HelpLine, ManyHelpLines, Caption, GamesDirectory, Executable, DisplayName, InfoLine, Entry, ManyEntries,
    KindCount
};

const char *const kKindNames[KindCount] = {
    "help line", "many help lines", "interface caption", "games directory", "executable",
    "display name", "info line", "game list entry", "680 long entries"};

QTemporaryDir &workFolder()
{
    static QTemporaryDir dir;
    return dir;
}

// The configuration file of a kind, with its interface file beside it.
QString largeFile(Kind kind)
{
    const QString config = workFolder().filePath(QStringLiteral("large%1.cfg").arg(int(kind)));
    if (QFile::exists(config))
        return config;
    const QString bulk(kBulk, QLatin1Char('x'));
    vantorix::Configuration c = vantorix_bench::fullConfiguration();
    c.interfaceName = QStringLiteral("ui%1.txt").arg(int(kind));
    QStringList help{QStringLiteral("help")};
    QStringList interface(22, QStringLiteral("text"));
    switch (kind) {
    case HelpLine: help = {bulk}; break;
    case ManyHelpLines: help = QStringList(kBulk / 10, QStringLiteral("help line")); break;
    case Caption: interface[4] = bulk; break;
    case GamesDirectory: c.gamesDirectory = bulk; break;
    case Executable: c.executables[0] = bulk; break;
    case DisplayName: c.displayNames[0] = bulk; break;
    case InfoLine: c.infoLines[0] = bulk; break;
    case Entry: c.gameList[0] = bulk; break;
    case ManyEntries: c.gameList = QStringList(vantorix::kPlaylistLimit, QString(kBulk / 680, 'e')); break;
    case KindCount: break;
    }
    vantorix::writeFileAtomically(config, vantorix::serializeConfiguration(c));
    vantorix::writeFileAtomically(workFolder().filePath(c.interfaceName),
                                  vantorix::encodeLines(interface + help));
    return config;
}

void showAndClose(QWidget *window)
{
    window->show();
    QApplication::processEvents();
    benchmark::DoNotOptimize(window->grab());
    window->hide();
    QApplication::processEvents();
}

void LargeText(benchmark::State &state)
{
    const Kind kind = Kind(state.range(0));
    const QString config = largeFile(kind);
    state.SetLabel(kKindNames[kind]);
    vantorix::Catalogue catalogue;
    for (auto _ : state) {
        vantorix::createForms(catalogue);
        Form1->setStartupFile(config);  // loaded when the window shows
        showAndClose(Form1);
        Form1->ComboBox1->setCurrentIndex(0);
        Form1->ComboBox1Change(Form1->ComboBox1);
        showAndClose(Form1);
        Form2->Panel1->setVisible(true);
        showAndClose(Form2);
        showAndClose(Form3);
        showAndClose(Form4);
        vantorix::destroyForms();
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(config).size());
    state.counters["peak_MiB"] = vantorix_bench::peakResidentMiB();
}

// Baseline: reading the file that holds the bulk (the interface file for
// the kinds that put it there).
void LargeTextRead(benchmark::State &state)
{
    const Kind kind = Kind(state.range(0));
    const QString config = largeFile(kind);
    const QString bulky = kind <= Caption ? workFolder().filePath(QStringLiteral("ui%1.txt").arg(int(kind))) : config;
    for (auto _ : state)
        benchmark::DoNotOptimize(vantorix::readWholeFile(bulky));
    state.counters["peak_MiB"] = vantorix_bench::peakResidentMiB();
}

}  // namespace

BENCHMARK(LargeText)->DenseRange(0, KindCount - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(LargeTextRead)->DenseRange(0, KindCount - 1)->Unit(benchmark::kMillisecond);
