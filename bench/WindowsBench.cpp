// The ROMS reader opening a folder (list and convert), and the start-up of
// the five windows, each beside the plainest thing that does the same work.
#include "app/Forms.h"
#include "app/Unit1.h"
#include "bench/BenchFolders.h"
#include "catalogue/FolderBrowser.h"
#include "catalogue/Unit5.h"

#include <QApplication>
#include <QComboBox>

#include <benchmark/benchmark.h>

namespace {

// Opens the folder in the browser: the folder list, the file list, the
// header pass over it and the captions, as a user's double click does.
void FolderOpen(benchmark::State &state)
{
    const QString folder = vantorix_bench::romFolder(int(state.range(0)));
    TForm5 reader;
    for (auto _ : state) {
        state.PauseTiming();
        reader.DirectoryListBox1->openFolder(vantorix_bench::emptyFolder());
        state.ResumeTiming();
        reader.DirectoryListBox1->openFolder(folder);
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
    for (auto _ : state) {
        vantorix::createForms();
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

}  // namespace

BENCHMARK(FolderOpen)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(StartUp)->Unit(benchmark::kMillisecond);
BENCHMARK(RawWindow)->Unit(benchmark::kMillisecond);
