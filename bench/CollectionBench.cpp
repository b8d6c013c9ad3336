// A collector's library at 100,000 files: the audit of 5 databases of
// 3,000 games each against a set of the keys alone, and the look for saves
// (one listing a folder) against a bare listing of the same folders.
#include "library/GameSaves.h"
#include "library/LibraryAudit.h"
#include "names/DatReader.h"
#include "names/GameDatabase.h"
#include "platform/FilePath.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <dirent.h>

namespace {

constexpr int kFiles = 100000;
constexpr int kDatabases = 5;
constexpr int kGamesEach = 3000;

std::vector<vantorix::RomKey> libraryKeys()
{
    std::vector<vantorix::RomKey> keys;
    keys.reserve(kFiles);
    for (int i = 0; i < kFiles; ++i)
        keys.push_back({quint32(i) * 2654435761u, 1 << 20});
    return keys;
}

const vantorix::GameDatabase &databases()
{
    static const vantorix::GameDatabase database = [] {
        vantorix::GameDatabase made;
        for (int d = 0; d < kDatabases; ++d) {
            vantorix::DatContents contents;
            contents.headers.push_back({QStringLiteral("Set %1").arg(d), QStringLiteral("1")});
            for (int g = 0; g < kGamesEach; ++g) {
                // Half of each set held, half missing.
                const int index = d * kGamesEach + g;
                vantorix::DatRom rom;
                rom.game = QStringLiteral("Game %1 (Europe) (Rev %2)").arg(index).arg(g % 3);
                rom.crc32 = g % 2 ? quint32(index) * 2654435761u : quint32(index) * 40503u + 7u;
                rom.size = 1 << 20;
                rom.header = 0;
                contents.roms.push_back(rom);
            }
            made.add(contents, QStringLiteral("Set %1").arg(d));
        }
        return made;
    }();
    return database;
}

void CollectionAudit(benchmark::State &state)
{
    const std::vector<vantorix::RomKey> keys = libraryKeys();
    const vantorix::GameDatabase &database = databases();
    size_t missing = 0;
    for (auto _ : state)
        missing = vantorix::auditLibrary(keys, database).missing.size();
    state.counters["missing"] = double(missing);
}
BENCHMARK(CollectionAudit)->Unit(benchmark::kMillisecond)->Repetitions(5);

// The baseline: the library's keys made a set, which any audit needs.
void CollectionAuditBaselineKeySet(benchmark::State &state)
{
    const std::vector<vantorix::RomKey> keys = libraryKeys();
    for (auto _ : state) {
        QSet<std::pair<quint32, qint64>> held;
        held.reserve(qsizetype(keys.size()));
        for (const vantorix::RomKey &key : keys)
            held.insert({key.crc32, key.size});
        benchmark::DoNotOptimize(held.size());
    }
}
BENCHMARK(CollectionAuditBaselineKeySet)->Unit(benchmark::kMillisecond)->Repetitions(5);

// 100 folders of 1,000 ROMs, a save beside every tenth, and a RetroArch
// folder of 1,000 saves (those of the first folder's games).
struct SaveFolderSet {
    QTemporaryDir dir;
    QStringList roms;
    vantorix::SaveFolders folders;
    SaveFolderSet()
    {
        const QString root = dir.path();
        for (int f = 0; f < 100; ++f) {
            const QString folder = root + QStringLiteral("/games/%1").arg(f);
            QDir().mkpath(folder);
            for (int g = 0; g < 1000; ++g) {
                const QString rom = folder + QStringLiteral("/Game %1-%2.gb").arg(f).arg(g);
                QFile(rom).open(QIODevice::WriteOnly);
                roms.append(rom);
                if (g % 10 == 0)
                    QFile(folder + QStringLiteral("/Game %1-%2.sav").arg(f).arg(g)).open(QIODevice::WriteOnly);
            }
        }
        folders.retroArch = root + QStringLiteral("/retroarch/saves");
        QDir().mkpath(folders.retroArch + QStringLiteral("/Gambatte"));
        for (int g = 0; g < 1000; ++g)
            QFile(folders.retroArch + QStringLiteral("/Gambatte/Game 0-%1.srm").arg(g)).open(QIODevice::WriteOnly);
    }
};

SaveFolderSet &saveFolders()
{
    static SaveFolderSet set;
    return set;
}

void CollectionFindSaves(benchmark::State &state)
{
    SaveFolderSet &set = saveFolders();
    int found = 0;
    for (auto _ : state)
        found = int(vantorix::findSaves(set.roms, set.folders).size());
    state.counters["games with saves"] = found;
}
BENCHMARK(CollectionFindSaves)->Unit(benchmark::kMillisecond)->Repetitions(5);

// The baseline: each folder listed once, nothing looked up.
void CollectionFindSavesBaselineListing(benchmark::State &state)
{
    SaveFolderSet &set = saveFolders();
    for (auto _ : state) {
        size_t names = 0;
        for (int f = 0; f < 100; ++f) {
            DIR *dir = ::opendir(QFile::encodeName(set.dir.path() + QStringLiteral("/games/%1").arg(f)).constData());
            while (dir && ::readdir(dir))
                ++names;
            if (dir)
                ::closedir(dir);
        }
        benchmark::DoNotOptimize(names);
    }
}
BENCHMARK(CollectionFindSavesBaselineListing)->Unit(benchmark::kMillisecond)->Repetitions(5);

}  // namespace
