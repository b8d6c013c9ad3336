// Game databases: Debian's No-Intro list read whole, beside reading its
// bytes alone; and the hash cache of a folder of 20,000 keys read back.
#include "bench/BenchFolders.h"
#include "names/GameDatabase.h"
#include "names/HashCache.h"
#include "settings/TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QString kNoIntro = QStringLiteral("/usr/share/mgba/nointro.dat");

// Three systems, 7,400 games, 2 MB: read and keyed.
void LoadNoIntro(benchmark::State &state)
{
    if (!QFile::exists(kNoIntro)) {
        state.SkipWithError("mgba-common is not installed");
        return;
    }
    const double before = vantorix_bench::peakResidentMiB();
    int games = 0;
    for (auto _ : state) {
        const vantorix::LoadedGameDatabases loaded = vantorix::loadGameDatabases({kNoIntro});
        games = loaded.database.gameCount();
    }
    state.counters["games"] = games;
    state.counters["peak_MiB_more"] = vantorix_bench::peakResidentMiB() - before;
}

// Baseline: the file's bytes alone.
void ReadNoIntroBytes(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(vantorix::readWholeFile(kNoIntro));
}

// The keys of a folder of 20,000 files, read back from the cache.
void CacheKeysOfFolder(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("hashes.sqlite"));
    vantorix::FileStamp folder;
    folder.device = 1;
    folder.inode = 2;
    {
        vantorix::HashCache cache(path);
        vantorix::HashCache::Keys keys;
        for (int i = 0; i < 20000; ++i)
            keys.insert(vantorix::FileStamp{1, quint64(i + 100), 32768, i}, vantorix::RomKey{quint32(i), 32768});
        cache.remember(folder, keys);
    }
    for (auto _ : state) {
        vantorix::HashCache cache(path);
        benchmark::DoNotOptimize(cache.keysOf(folder).size());
    }
}

// Opening a cache of state.range(0) keys in folders of 1,000 (50 bytes a
// key: 1,000,000 keys is the bound, about 50 MB), then reading one
// folder's keys, as each scan does. The cost must not grow with the file.
void CacheOpen(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("hashes.sqlite"));
    const int folders = int(state.range(0) / 1000);
    {
        vantorix::HashCache cache(path);
        for (int f = 0; f < folders; ++f) {
            vantorix::HashCache::Keys keys;
            for (int i = 0; i < 1000; ++i)
                keys.insert(vantorix::FileStamp{1, quint64(f * 1000 + i + 100), 32768, i}, vantorix::RomKey{quint32(i), 32768});
            cache.remember(vantorix::FileStamp{1, quint64(f + 1), 0, 0}, keys);
        }
    }
    { vantorix::HashCache settle(path); }  // the day's check done, as after a first scan
    for (auto _ : state) {
        vantorix::HashCache cache(path);
        benchmark::DoNotOptimize(cache.keysOf(vantorix::FileStamp{1, 1, 0, 0}).size());
    }
    state.counters["file_MB"] = double(QFileInfo(path).size()) / 1e6;
}

}  // namespace

BENCHMARK(CacheOpen)->Arg(20000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadNoIntro)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadNoIntroBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(CacheKeysOfFolder)->Unit(benchmark::kMillisecond);
