// The ROMS reader opening a folder (list and convert), and the start-up of
// the five windows, each beside the plainest thing that does the same work.
#include "app/Forms.h"
#include "reading/Catalogue.h"
#include "app/Unit1.h"
#include "bench/BenchFolders.h"
#include "platform/Executor.h"
#include "rom/HeadReader.h"
#include "widgets/FolderBrowser.h"
#include "rom/FileListing.h"
#include "reading/HeaderPass.h"
#include "reading/RomScan.h"
#include "catalogue/Unit5.h"
#include "settings/Configuration.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <sys/stat.h>
#include <vector>

#include <benchmark/benchmark.h>

namespace {

// Opens the folder in the browser: the folder list, the file list, the
// header pass over it and the captions, as a user's double click does.
void FolderOpen(benchmark::State &state)
{
    const QString folder = vantorix_bench::romFolder(int(state.range(0)));
    vantorix::Catalogue catalogue;
    TForm5 reader(catalogue);
    for (auto _ : state) {
        state.PauseTiming();
        reader.DirectoryListBox1->openFolder(vantorix_bench::emptyFolder());
        state.ResumeTiming();
        reader.DirectoryListBox1->openFolder(folder);
        vantorix_bench::waitForReading(reader);
        benchmark::DoNotOptimize(reader.FileListBox1->count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["peak_MiB"] = vantorix_bench::peakResidentMiB();
}

// From nothing to the main window shown with a configuration of 680
// entries loaded, and back.
void StartUp(benchmark::State &state)
{
    const QString config = vantorix_bench::fullConfigurationFile();
    vantorix::Catalogue catalogue;
    for (auto _ : state) {
        vantorix::createForms(catalogue);
        Form1->setStartupFile(config);
        Form1->show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(Form1->ComboBox1->count());
        vantorix::destroyForms();
    }
    state.counters["peak_MiB"] = vantorix_bench::peakResidentMiB();
}

// A bare window of the main window's size holding a combo box of 680 items.
void RawWindow(benchmark::State &state)
{
    const QStringList items = vantorix_bench::fullConfiguration().gameList;
    for (auto _ : state) {
        auto *window = new QWidget;
        window->resize(590, 338);
        auto *list = new QComboBox(window);
        list->addItems(items);
        window->show();
        QApplication::processEvents();
        delete window;
    }
    state.counters["peak_MiB"] = vantorix_bench::peakResidentMiB();
}

// Records whether the file list was first drawn before the header pass had
// converted its first item: the user sees the names before the wait.
class FirstPaintProbe : public QObject {
public:
    explicit FirstPaintProbe(FileListBox *list) : list_(list) { list->viewport()->installEventFilter(this); }
    bool paintedBeforePass = false;
    bool painted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !painted && list_->count() > 0) {
            painted = true;
            paintedBeforePass = !list_->isConverted(0);
        }
        return false;
    }

private:
    FileListBox *list_;
};

// The ROMS reader opened for the first time on a folder: the names listed
// and shown, then the header pass filling in the entries.
void ReaderFirstOpening(benchmark::State &state)
{
    const QString folder = vantorix_bench::romFolder(int(state.range(0)));
    double paintedFirst = 1;
    double longestPause = 0;
    vantorix::Catalogue catalogue;
    for (auto _ : state) {
        state.PauseTiming();
        QDir::setCurrent(folder);
        auto *reader = new TForm5(catalogue);
        FirstPaintProbe probe(reader->FileListBox1);
        state.ResumeTiming();
        reader->show();
        longestPause = qMax(longestPause, vantorix_bench::waitForReading(*reader));
        state.PauseTiming();
        if (!probe.paintedBeforePass || reader->FileListBox1->count() != state.range(0))
            paintedFirst = 0;
        delete reader;
        state.ResumeTiming();
    }
    state.counters["names_shown_first"] = paintedFirst;
    state.counters["longest_pause_ms"] = longestPause;
    state.counters["peak_MiB"] = vantorix_bench::peakResidentMiB();
}

// Baseline: what "kelpad --scan" does, in this process.
void ScanInProcess(benchmark::State &state)
{
    const QString folder = vantorix_bench::romFolder(int(state.range(0)));
    FILE *sink = std::fopen("/dev/null", "w");
    vantorix::Executor executor(vantorix::HeadReader::kThreads + vantorix::HeadReader::kSpareThreads);
    for (auto _ : state)
        benchmark::DoNotOptimize(vantorix::scanFolder(folder, QStringLiteral("*.gb"), {}, sink, sink, nullptr, &executor));
    std::fclose(sink);
}

// A change of selection in a converted list: a pass that looks nothing up.
void SelectionChange(benchmark::State &state)
{
    const QString folder = vantorix_bench::romFolder(int(state.range(0)));
    QDir::setCurrent(folder);
    vantorix::Catalogue catalogue;
    TForm5 reader(catalogue);
    reader.show();
    vantorix_bench::waitForReading(reader);
    int row = 0;
    for (auto _ : state)
        reader.FileListBox1->setCurrentRow(row++ % int(state.range(0)));
}

// Baseline: the same pass over entries that each are looked up again.
void SelectionChangeLookingUp(benchmark::State &state)
{
    const QString folder = vantorix_bench::romFolder(int(state.range(0)));
    vantorix::TextEntryList list;
    list.items = vantorix::listMatchingFiles(folder, QStringLiteral("*.gb"));
    vantorix::runHeaderPass(list, folder);
    for (auto _ : state)
        vantorix::runHeaderPass(list, folder);
}

// The missing-game marks of a full game list, every file present.
void MissingMarks(benchmark::State &state)
{
    vantorix::Catalogue catalogue;
    vantorix::createForms(catalogue);
    vantorix::Configuration config = vantorix_bench::fullConfiguration();
    config.gamesDirectory = vantorix_bench::romFolder(vantorix::kPlaylistLimit);
    Form1->applyConfiguration(config);
    for (auto _ : state)
        Form1->markMissingGames();
    vantorix::destroyForms();
}

// Baseline: one stat() per entry.
void StatPerEntry(benchmark::State &state)
{
    const std::vector<QByteArray> paths = vantorix_bench::romPaths(vantorix::kPlaylistLimit);
    for (auto _ : state) {
        for (const QByteArray &path : paths) {
            struct stat st;
            benchmark::DoNotOptimize(::stat(path.constData(), &st));
        }
    }
}

}  // namespace

BENCHMARK(ReaderFirstOpening)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(ScanInProcess)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(SelectionChange)->Arg(20000)->Unit(benchmark::kMicrosecond);
BENCHMARK(SelectionChangeLookingUp)->Arg(20000)->Unit(benchmark::kMicrosecond);
BENCHMARK(MissingMarks)->Unit(benchmark::kMicrosecond);
BENCHMARK(StatPerEntry)->Unit(benchmark::kMicrosecond);
BENCHMARK(FolderOpen)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(StartUp)->Unit(benchmark::kMillisecond);
BENCHMARK(RawWindow)->Unit(benchmark::kMillisecond);
