// The library at 100,000 games: the window opened until its caption counts
// them all (cache filled) against the same folder scanned with names in
// this process; a sort by each column and a filter keystroke; the longest
// pause of the window's thread; and the memory the window adds.
#include "bench/BenchFolders.h"
#include "reading/Catalogue.h"
#include "reading/RomScan.h"
#include "library/LibraryChanges.h"
#include "library/LibraryFilter.h"
#include "library/LibraryModel.h"
#include "library/LibraryStore.h"
#include "windows/LibraryWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

// The library's store and cache in a folder of their own, the one folder
// of count games in it, read once so that the cache holds their keys.
struct FilledLibrary {
    QTemporaryDir home;
    QString folder;
    explicit FilledLibrary(int count) : folder(vantorix_bench::romFolder(count))
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(home.filePath(QStringLiteral("cache"))));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
        vantorix::LibraryStore::addFolders({folder});
        vantorix::Catalogue catalogue;
        QStringList problems;
        vantorix::scanLibrary({folder}, catalogue, &problems);
    }
};

// A window that starts nothing: the benchmark plays no game.
class NoHost : public LibraryHost {
public:
    bool playGame(const QString &, int) override { return false; }
    QString emulatorOfSlot(int) const override { return QString(); }
    bool isGameRunning(const QString &) const override { return false; }
    void addGamesToList(const QStringList &) override {}
    void quitProgram() override {}
};

// Turns the event loop until done(), returning the longest pause between
// two turns in ms.
template <typename Done>
double runUntil(Done done)
{
    QElapsedTimer sinceTurn, watchdog;
    sinceTurn.start();
    watchdog.start();
    double longest = 0;
    while (!done() && watchdog.elapsed() < 120'000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        longest = qMax(longest, double(sinceTurn.restart()));
    }
    return longest;
}

void LibraryWindowOpen(benchmark::State &state)
{
    const int count = int(state.range(0));
    FilledLibrary library(count);
    vantorix::Catalogue catalogue;
    vantorix::LibraryChanges changes(catalogue);
    NoHost host;
    double longestPause = 0;
    double sortMs = 0;
    double filterMs = 0;
    const double before = vantorix_bench::peakResidentMiB();
    for (auto _ : state) {
        auto *window = new LibraryWindow(catalogue, changes, host);
        window->show();
        longestPause = qMax(longestPause, runUntil([&] {
            return !window->isReading() && window->filter()->totalCount() == count;
        }));
        state.PauseTiming();
        state.counters["open_MiB"] = vantorix_bench::peakResidentMiB() - before;
        QElapsedTimer timer;
        for (int column = 0; column < vantorix::LibraryModel::ColumnCount; ++column) {
            // The sort runs on the executor: the window's longest pause
            // until its order shows.
            timer.start();
            window->filter()->sort(column, column % 2 ? Qt::DescendingOrder : Qt::AscendingOrder);
            sortMs = qMax(sortMs, double(timer.nsecsElapsed()) / 1e6);
            sortMs = qMax(sortMs, runUntil([&] { return !window->filter()->sorting(); }));
        }
        for (const char *typed : {"g", "ga", "gam", "game", "game0", "game00001"}) {
            timer.start();
            window->filter()->setText(QString::fromLatin1(typed));
            filterMs = qMax(filterMs, double(timer.nsecsElapsed()) / 1e6);
        }
        // The collector's views: each one the filter's pass on the window's
        // thread (the audit and the look for saves run off it).
        double collectionMs = 0;
        for (const int view : {LibraryWindow::Duplicates, LibraryWindow::OnePerGame, LibraryWindow::WithSaves,
                               LibraryWindow::AllGames}) {
            timer.start();
            window->CollectionBox->setCurrentIndex(view);
            collectionMs = qMax(collectionMs, double(timer.nsecsElapsed()) / 1e6);
        }
        state.counters["slowest_collection_ms"] = collectionMs;
        // The grid scrolled from top to bottom, its covers asked for as
        // they come on the screen.
        window->filter()->setText(QString());
        window->GridButton->setChecked(true);
        QScrollBar *bar = window->GridView->verticalScrollBar();
        double scrollPause = 0;
        for (int step = 0; step <= 20; ++step) {
            bar->setValue(bar->maximum() * step / 20);
            QElapsedTimer turn;
            turn.start();
            QCoreApplication::processEvents();
            scrollPause = qMax(scrollPause, double(turn.elapsed()));
        }
        // 1,000 files arriving in the watched folder.
        const QString arrivals = library.folder;
        QFile first(library.folder + QStringLiteral("/GAME000000.GB"));
        first.open(QIODevice::ReadOnly);
        const QByteArray image = first.readAll();
        double arrivalPause = 0;
        QElapsedTimer sinceTurn;
        sinceTurn.start();
        for (int i = 0; i < 1000; ++i) {
            QFile copy(arrivals + QStringLiteral("/NEW%1.GB").arg(i, 4, 10, QLatin1Char('0')));
            if (copy.open(QIODevice::WriteOnly))
                copy.write(image);
            if (i % 50 == 0) {
                QCoreApplication::processEvents();
                arrivalPause = qMax(arrivalPause, double(sinceTurn.restart()));
            }
        }
        arrivalPause = qMax(arrivalPause, runUntil([&] {
            return !window->isReading() && window->filter()->totalCount() == count + 1000;
        }));
        for (int i = 0; i < 1000; ++i)
            QFile::remove(arrivals + QStringLiteral("/NEW%1.GB").arg(i, 4, 10, QLatin1Char('0')));
        state.counters["grid_scroll_pause_ms"] = scrollPause;
        state.counters["arrivals_pause_ms"] = arrivalPause;
        delete window;
        state.ResumeTiming();
    }
    state.counters["longest_pause_ms"] = longestPause;
    state.counters["slowest_sort_ms"] = sortMs;
    state.counters["slowest_keystroke_ms"] = filterMs;
    state.counters["after_grid_and_arrivals_MiB"] = vantorix_bench::peakResidentMiB() - before;
}

// Baseline: the same folder scanned with names, cache filled, in this
// process (what "kelpad --scan DIR --subfolders --names" does).
void LibraryBaselineScan(benchmark::State &state)
{
    FilledLibrary library(int(state.range(0)));
    vantorix::Catalogue catalogue;
    FILE *sink = std::fopen("/dev/null", "w");
    vantorix::ListingScope scope;
    scope.subfolders = true;
    for (auto _ : state)
        benchmark::DoNotOptimize(vantorix::scanFolder(library.folder, QStringLiteral("*.gb;*.gbc;*.cgb;*.sgb;*.zip;*.7z"),
                                                      scope, sink, sink, &catalogue, &catalogue.executor()));
    std::fclose(sink);
}

}  // namespace

BENCHMARK(LibraryWindowOpen)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(LibraryBaselineScan)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
