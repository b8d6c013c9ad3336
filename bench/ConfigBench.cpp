// Loading and saving a configuration of 680 entries, beside a raw read and
// a raw durable write of the same bytes.
#include "bench/BenchFolders.h"
#include "config/Configuration.h"
#include "config/TextFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

vantorix::Configuration fullConfiguration()
{
    vantorix::Configuration config;
    config.gamesDirectory = QStringLiteral("/home/player/roms");
    for (int i = 0; i < vantorix::kInfoLineCount; ++i)
        config.infoLines[i] = QStringLiteral("Information line %1").arg(i);
    for (int i = 0; i < vantorix::kPlaylistLimit; ++i)
        config.gameList.append(QStringLiteral("GAME NUMBER %1             (GAME%1.GB)").arg(i, 6, 10, QLatin1Char('0')));
    return config;
}

struct ConfigFile {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("full.cfg"));
    QByteArray bytes = vantorix::serializeConfiguration(fullConfiguration());
    ConfigFile() { vantorix::writeFileAtomically(path, bytes); }
};

ConfigFile &configFile()
{
    static ConfigFile file;
    return file;
}

void ConfigLoad(benchmark::State &state)
{
    const QString path = configFile().path;
    for (auto _ : state)
        benchmark::DoNotOptimize(vantorix::parseConfiguration(vantorix::readWholeFile(path)));
    state.SetBytesProcessed(state.iterations() * configFile().bytes.size());
    state.counters["peak_MiB"] = vantorix_bench::peakResidentMiB();
}

void RawRead(benchmark::State &state)
{
    const QByteArray path = QFile::encodeName(configFile().path);
    QByteArray buffer(1 << 20, '\0');
    for (auto _ : state) {
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        benchmark::DoNotOptimize(::read(fd, buffer.data(), size_t(buffer.size())));
        ::close(fd);
    }
    state.SetBytesProcessed(state.iterations() * configFile().bytes.size());
}

void ConfigSave(benchmark::State &state)
{
    const vantorix::Configuration config = fullConfiguration();
    const QString path = configFile().dir.filePath(QStringLiteral("saved.cfg"));
    for (auto _ : state)
        vantorix::writeFileAtomically(path, vantorix::serializeConfiguration(config));
    state.SetBytesProcessed(state.iterations() * configFile().bytes.size());
    state.counters["peak_MiB"] = vantorix_bench::peakResidentMiB();
}

// The same bytes written in place and flushed to the disk.
void RawWrite(benchmark::State &state)
{
    const QByteArray path = QFile::encodeName(configFile().dir.filePath(QStringLiteral("raw.cfg")));
    const QByteArray &bytes = configFile().bytes;
    for (auto _ : state) {
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        benchmark::DoNotOptimize(::write(fd, bytes.constData(), size_t(bytes.size())));
        ::fsync(fd);
        ::close(fd);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

}  // namespace

BENCHMARK(ConfigLoad)->Unit(benchmark::kMicrosecond);
BENCHMARK(RawRead)->Unit(benchmark::kMicrosecond);
BENCHMARK(ConfigSave)->Unit(benchmark::kMicrosecond);
BENCHMARK(RawWrite)->Unit(benchmark::kMicrosecond);
