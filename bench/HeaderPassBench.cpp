// The header pass over folders of ROM files, beside a raw POSIX loop that
// makes the same system calls (stat, open, read, size, seek, read, close)
// and nothing else.
#include "bench/BenchFolders.h"
#include "platform/Executor.h"
#include "rom/HeadReader.h"
#include "rom/FileListing.h"
#include "reading/HeaderPass.h"

#include <QByteArray>
#include <QFile>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void HeaderPass(benchmark::State &state)
{
    const QString folder = vantorix_bench::romFolder(int(state.range(0)));
    const QStringList names = vantorix::listMatchingFiles(folder, QStringLiteral("*.gb"));
    // Sized as a catalogue's executor, whose threads the readers share.
    vantorix::Executor executor(vantorix::HeadReader::kThreads + vantorix::HeadReader::kSpareThreads);
    for (auto _ : state) {
        vantorix::TextEntryList list;
        list.items = names;
        vantorix::runHeaderPass(list, folder, {}, &executor);
        benchmark::DoNotOptimize(list.items);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void RawLoop(benchmark::State &state)
{
    const std::vector<QByteArray> paths = vantorix_bench::romPaths(int(state.range(0)));
    for (auto _ : state) {
        for (const QByteArray &path : paths) {
            struct stat st;
            ::stat(path.constData(), &st);
            const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
            char lead[3], block[80];
            benchmark::DoNotOptimize(::read(fd, lead, 3));
            ::fstat(fd, &st);
            ::lseek(fd, 256, SEEK_SET);
            benchmark::DoNotOptimize(::read(fd, block, 80));
            ::close(fd);
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(HeaderPass)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(RawLoop)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
