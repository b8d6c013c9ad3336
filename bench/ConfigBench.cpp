// Loading and saving a configuration of 680 entries, beside a raw read and
// a raw durable write of the same bytes.
#include "bench/BenchFolders.h"
#include "settings/Configuration.h"
#include "settings/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The saved and raw copies go beside the full configuration.
QString besideFullConfiguration(const QString &name)
{
    return QFileInfo(vantorix_bench::fullConfigurationFile()).dir().filePath(name);
}

qint64 fullConfigurationSize()
{
    return QFileInfo(vantorix_bench::fullConfigurationFile()).size();
}

void ConfigLoad(benchmark::State &state)
{
    const QString path = vantorix_bench::fullConfigurationFile();
    for (auto _ : state)
        benchmark::DoNotOptimize(vantorix::parseConfiguration(vantorix::readWholeFile(path)));
    state.SetBytesProcessed(state.iterations() * fullConfigurationSize());
    state.counters["peak_MiB"] = vantorix_bench::peakResidentMiB();
}

void RawRead(benchmark::State &state)
{
    const QByteArray path = QFile::encodeName(vantorix_bench::fullConfigurationFile());
    QByteArray buffer(1 << 20, '\0');
    for (auto _ : state) {
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        benchmark::DoNotOptimize(::read(fd, buffer.data(), size_t(buffer.size())));
        ::close(fd);
    }
    state.SetBytesProcessed(state.iterations() * fullConfigurationSize());
}

void ConfigSave(benchmark::State &state)
{
    const vantorix::Configuration config = vantorix_bench::fullConfiguration();
    const QString path = besideFullConfiguration(QStringLiteral("saved.cfg"));
    for (auto _ : state)
        vantorix::writeFileAtomically(path, vantorix::serializeConfiguration(config));
    state.SetBytesProcessed(state.iterations() * fullConfigurationSize());
    state.counters["peak_MiB"] = vantorix_bench::peakResidentMiB();
}

// The same bytes written in place and flushed to the disk.
void RawWrite(benchmark::State &state)
{
    const QByteArray path = QFile::encodeName(besideFullConfiguration(QStringLiteral("raw.cfg")));
    const QByteArray bytes = vantorix::serializeConfiguration(vantorix_bench::fullConfiguration());
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
