#include "bench/BenchFolders.h"

#include "catalogue/Unit5.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "rom/FileListing.h"
#include "settings/TextFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <map>
#include <memory>

#include <sys/resource.h>

namespace vantorix_bench {

const QString &romFolder(int count)
{
    static std::map<int, std::unique_ptr<QTemporaryDir>> folders;
    static std::map<int, QString> paths;
    // Folders made beforehand (scripts/bench.sh), so that a run can find
    // them cold: VANTORIX_BENCH_ROMS/COUNT.
    const QString made = qEnvironmentVariable("VANTORIX_BENCH_ROMS");
    if (!made.isEmpty()) {
        paths[count] = made + QLatin1Char('/') + QString::number(count);
        return paths[count];
    }
    auto &dir = folders[count];
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>();
        QByteArray image(1024, '\0');  // enough for the header
        image.replace(0x134, 8, "BENCHROM");
        for (int i = 0; i < count; ++i) {
            QFile file(dir->filePath(QStringLiteral("GAME%1.GB").arg(i, 6, 10, QLatin1Char('0'))));
            if (file.open(QIODevice::WriteOnly))
                file.write(image);
        }
        paths[count] = dir->path();
    }
    return paths[count];
}

const QString &romTree(int count, int folders)
{
    static std::map<std::pair<int, int>, std::unique_ptr<QTemporaryDir>> trees;
    static std::map<std::pair<int, int>, QString> paths;
    auto &dir = trees[{count, folders}];
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>();
        QByteArray image(1024, '\0');
        image.replace(0x134, 8, "BENCHROM");
        for (int i = 0; i < count; ++i) {
            const int folder = i % folders;
            const QString sub = QStringLiteral("GROUP%1/SET%2").arg(folder % 10, 2, 10, QLatin1Char('0')).arg(folder, 4, 10, QLatin1Char('0'));
            QDir(dir->path()).mkpath(sub);
            QFile file(dir->filePath(sub + QStringLiteral("/GAME%1.GB").arg(i, 6, 10, QLatin1Char('0'))));
            if (file.open(QIODevice::WriteOnly))
                file.write(image);
        }
        paths[{count, folders}] = dir->path();
    }
    return paths[{count, folders}];
}

std::vector<QByteArray> romPaths(int count)
{
    const QString folder = romFolder(count);
    std::vector<QByteArray> paths;
    for (const QString &name : vantorix::listMatchingFiles(folder, QStringLiteral("*.gb")))
        paths.push_back(QFile::encodeName(folder + QLatin1Char('/') + name));
    return paths;
}

const QString &emptyFolder()
{
    static QTemporaryDir dir;
    static const QString path = dir.path();
    return path;
}

vantorix::Configuration fullConfiguration()
{
    vantorix::Configuration config;
    config.gamesDirectory = QStringLiteral("/home/player/roms");
    for (int i = 0; i < vantorix::kInfoLineCount; ++i)
        config.infoLines[i] = QStringLiteral("Information line %1").arg(i);
    for (int i = 0; i < vantorix::kPlaylistLimit; ++i)
        config.gameList.append(
            QStringLiteral("GAME NUMBER %1             (GAME%1.GB)").arg(i, 6, 10, QLatin1Char('0')));
    return config;
}

const QString &fullConfigurationFile()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("full.cfg"));
        vantorix::writeFileAtomically(file, vantorix::serializeConfiguration(fullConfiguration()));
        return file;
    }();
    return path;
}

double peakResidentMiB()
{
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

double waitForReading(TForm5 &reader)
{
    // A timer that would fire every millisecond: each late turn is time
    // the window could not answer.
    QElapsedTimer sinceTurn;
    sinceTurn.start();
    qint64 longestNs = 0;
    QTimer probe;
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] { longestNs = qMax(longestNs, sinceTurn.nsecsElapsed());
                                                      sinceTurn.restart(); });
    probe.start();
    while (reader.isReading())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    QCoreApplication::processEvents();
    return double(qMax(longestNs, sinceTurn.nsecsElapsed())) / 1e6;
}

}  // namespace vantorix_bench
