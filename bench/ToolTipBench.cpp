// Resting the pointer on a game: the first time reads the whole ROM for its
// details (an 8 MiB game in a 7z archive is unpacked whole), every later
// time finds them kept for the file as it is.
#include "catalogue/CartridgeDetails.h"
#include "catalogue/Catalogue.h"
#include "catalogue/DetailToolTips.h"
#include "samples/ArchiveMaker.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QString sevenZipGame(const QTemporaryDir &dir)
{
    QByteArray rom(8 * 1024 * 1024, '\0');
    for (qsizetype i = 0; i < rom.size(); ++i)
        rom[i] = char((i * 2654435761u) >> 13);  // bytes that do not pack to nothing
    const QString path = dir.filePath("big.7z");
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(vantorix::makeArchive(vantorix::ArchiveFormat::SevenZip, {{"big.gb", rom}}));
    return path;
}

// The first hover: the details read whole.
void FirstHover7z(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = sevenZipGame(dir);
    for (auto _ : state)
        benchmark::DoNotOptimize(vantorix::detailToolTipOfFile(path, vantorix::GameDatabase()));
}
BENCHMARK(FirstHover7z)->Unit(benchmark::kMillisecond);

// A second hover on the same file: what the window asks before reading.
void SecondHover7z(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = sevenZipGame(dir);
    vantorix::Catalogue catalogue;
    vantorix::DetailToolTips &tips = catalogue.toolTips();
    bool ready = false;
    tips.request(path, QCoreApplication::instance(), [&](const vantorix::DetailToolTip &) { ready = true; });
    while (!ready)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    for (auto _ : state)
        benchmark::DoNotOptimize(tips.cached(path));
}
BENCHMARK(SecondHover7z)->Unit(benchmark::kMicrosecond);

}  // namespace
