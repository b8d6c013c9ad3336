// Resting the pointer on a game: the first time reads the whole ROM for its
// details (an 8 MiB game in a 7z archive is unpacked whole), every later
// time finds them kept for the file as it is.
#include "names/CartridgeDetails.h"
#include "reading/Catalogue.h"
#include "reading/DetailToolTips.h"
#include "pictures/GamePictures.h"
#include "widgets/ScaledPictures.h"
#include "samples/ArchiveMaker.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
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

namespace {

// A box art as the libretro thumbnails hold them: 512 × 512, a real
// picture's noise, not one colour.
QString boxArt(const QTemporaryDir &dir, const QString &name)
{
    QImage box(512, 512, QImage::Format_RGB32);
    for (int y = 0; y < box.height(); ++y)
        for (int x = 0; x < box.width(); ++x)
            box.setPixel(x, y, qRgb((x * 7 + y) & 255, (x ^ y) & 255, ((x * y) >> 4) & 255));
    const QString folder = dir.filePath("Nintendo - Game Boy/Named_Boxarts");
    QDir().mkpath(folder);
    const QString path = folder + "/" + name + ".png";
    box.save(path);
    return path;
}

// A small game's details (baseline) and its box art from the disk: found,
// read and scaled, which a tool-tip adds after the details.
void DetailsOfSmallGame(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString rom = dir.filePath("STARHOP.GB");
    QByteArray image(32 * 1024, '\0');
    image.replace(0x134, 11, "STAR HOPPER");
    QFile file(rom);
    if (file.open(QIODevice::WriteOnly))
        file.write(image);
    file.close();
    for (auto _ : state)
        benchmark::DoNotOptimize(vantorix::detailToolTipOfFile(rom, vantorix::GameDatabase()));
}
BENCHMARK(DetailsOfSmallGame)->Unit(benchmark::kMillisecond);

void PictureFromDisk(benchmark::State &state)
{
    QTemporaryDir dir;
    boxArt(dir, "Star Hopper");
    const vantorix::PictureQuery query = vantorix::pictureQueryOf("/g/STARHOP.GB", "Star Hopper (World) (Rev 1)", "", false);
    for (auto _ : state) {
        const QString found = vantorix::findPicture({dir.path()}, query, vantorix::PictureKind::BoxArt);
        benchmark::DoNotOptimize(vantorix::readScaledPicture(found));
    }
}
BENCHMARK(PictureFromDisk)->Unit(benchmark::kMillisecond);

// 1,000 games hovered in turn: the pictures kept stay within their bound.
void ThousandPicturesKept(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString one = boxArt(dir, "one");
    vantorix::Catalogue catalogue;
    ScaledPictures &pictures = ScaledPictures::of(catalogue);
    for (auto _ : state) {
        int ready = 0;
        for (int i = 0; i < 1000; ++i) {
            const QString link = dir.filePath(QStringLiteral("game%1.png").arg(i));
            QFile::link(one, link);
            pictures.request(link, &catalogue, [&ready](const QImage &) { ++ready; });
        }
        while (ready < 1000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    state.counters["kept MiB"] = double(pictures.keptBytes()) / (1 << 20);
    state.counters["bound MiB"] = double(ScaledPictures::kKeptBytes) / (1 << 20);
}
BENCHMARK(ThousandPicturesKept)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
