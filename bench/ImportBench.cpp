// A collection imported in one step: the ROMS reader listing a tree of
// folders with its subfolders, beside the same number of files in one
// folder.
#include "bench/BenchFolders.h"
#include "reading/Catalogue.h"
#include "widgets/FolderBrowser.h"
#include "catalogue/Unit5.h"

#include <QApplication>
#include <QDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kFiles = 10'000;
constexpr int kFolders = 200;

// The first opening of the reader, subfolders included (1) or on the flat
// folder (0): listed, shown and every file converted.
void ReaderImport(benchmark::State &state)
{
    const bool tree = state.range(0) != 0;
    const QString folder = tree ? vantorix_bench::romTree(kFiles, kFolders) : vantorix_bench::romFolder(kFiles);
    bool complete = true;
    vantorix::Catalogue catalogue;
    for (auto _ : state) {
        state.PauseTiming();
        QDir::setCurrent(folder);
        auto *reader = new TForm5(catalogue);
        reader->CheckBox1->setChecked(tree);
        state.ResumeTiming();
        reader->show();
        vantorix_bench::waitForReading(*reader);
        state.PauseTiming();
        const int last = reader->FileListBox1->count() - 1;
        complete = complete && last + 1 == kFiles && reader->FileListBox1->isConverted(last);
        delete reader;
        state.ResumeTiming();
    }
    state.counters["all_converted"] = complete ? 1 : 0;
}

}  // namespace

BENCHMARK(ReaderImport)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
