// The reading threads change nothing but the speed: the same results, in
// the same order, with the pool as without it.
#include "rom/GameListEntry.h"
#include "rom/HeadReader.h"
#include "reading/HeaderPass.h"
#include "rom/RomFolder.h"
#include "samples/ArchiveMaker.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vantorix;
using namespace testing_support;

namespace {

QString describe(const HeadResult &r)
{
    if (r.error)
        return QStringLiteral("error %1").arg(r.error->text());
    if (!r.regular)
        return QStringLiteral("skipped");
    return QStringLiteral("%1 %2 %3").arg(QString::fromLatin1(r.head.toHex())).arg(r.size).arg(r.archiveEntry);
}

TEST(HeadReader, ThePoolGivesWhatOneThreadGivesInOrder)
{
    QTemporaryDir dir;
    std::vector<QByteArray> names;
    for (int i = 0; i < 700; ++i) {
        const QString name = QStringLiteral("g%1.gb").arg(i, 4, 10, QLatin1Char('0'));
        switch (i % 7) {
        case 0: writeFile(dir.filePath(name), QByteArray(i, 'x')); break;  // too short, or empty
        case 1: writeFile(dir.filePath(name), makeArchive(ArchiveFormat::ZipDeflated, {{"in.gb", romImage("Z")}})); break;
        case 2: writeFile(dir.filePath(name), "PK\x03\x04 broken"); break;
        case 3: ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(name)).constData(), 0644), 0); break;
        case 4: break;  // listed, then gone
        default: writeFile(dir.filePath(name), romImage(QByteArray::number(i))); break;
        }
        names.push_back(name.toUtf8());
    }
    const RomFolder folder(dir.path());
    Executor executor(HeadReader::kThreads + HeadReader::kSpareThreads);
    QStringList alone;
    QStringList pooled;
    {
        HeadReader reader(folder.fd(), names, nullptr, 0);
        for (size_t i = 0; i < names.size(); ++i)
            alone.append(describe(reader.take(i)));
    }
    {
        HeadReader reader(folder.fd(), names, &executor);
        for (size_t i = 0; i < names.size(); ++i)
            pooled.append(describe(reader.take(i)));
    }
    EXPECT_EQ(alone, pooled);
    // No thread to be had (a task limit, a small address space): the
    // taker reads everything itself, and the command prints what it prints
    // with threads.
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    // A copy of the command where nobody may run it, wherever the build is.
    QTemporaryDir outputs;
    ASSERT_EQ(::chmod(QFile::encodeName(outputs.path()).constData(), 0755), 0);
    const QByteArray command = QFile::encodeName(outputs.filePath("kelpad"));
    ASSERT_TRUE(QFile::copy(KELPAD_PATH, outputs.filePath("kelpad")));
    const auto scan = [&](int limit, rlim_t value) {
        const QString out = outputs.filePath(QStringLiteral("scan%1.txt").arg(limit));
        const int fd = ::open(QFile::encodeName(out).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const int status = runUnprivileged([&] {
            const rlimit tight{value, value};
            if (fd < 0 || ::dup2(fd, 1) < 0 || (limit >= 0 && ::setrlimit(limit, &tight) != 0))
                return 3;
            ::execl(command.constData(), "kelpad", "--scan", QFile::encodeName(dir.path()).constData(), "--mask", "*",
                    static_cast<char *>(nullptr));
            return 4;
        });
        ::close(fd);
        return std::make_pair(status, readFile(out));
    };
    // A sanitizer's runtime maps terabytes of shadow and starts threads of
    // its own: the limits are the plain build's to meet.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    constexpr bool sanitized = true;
    std::printf("sanitizer build: the limited scans are left out\n");
#else
    constexpr bool sanitized = false;
#endif
    const auto unlimited = sanitized ? std::make_pair(0, QByteArray()) : scan(-1, 0);
    ASSERT_GE(unlimited.first, 0);
    EXPECT_EQ(unlimited.second.isEmpty(), sanitized);
    for (const auto &[limit, value] : {std::make_pair(RLIMIT_NPROC, rlim_t(1)), std::make_pair(RLIMIT_AS, rlim_t(72) << 20)}) {
        if (sanitized)
            break;
        const auto limited = scan(limit, value);
        EXPECT_EQ(limited, unlimited) << (limit == RLIMIT_NPROC ? "task limit" : "address space");
    }
    // A reader left before its end stops its threads.
    HeadReader early(folder.fd(), names, &executor);
    EXPECT_EQ(describe(early.take(0)), alone.at(0));

    // The pass over the same folder: entries, failures and order as ever.
    TextEntryList list;
    for (const QByteArray &name : names)
        list.items.append(QString::fromUtf8(name));
    const auto failures = runHeaderPass(list, dir.path());
    EXPECT_EQ(list.items.at(5), composeEntry("5", "G0005.GB"));
    EXPECT_EQ(list.items.at(1), composeEntry("Z", "G0001.GB"));
    EXPECT_EQ(list.items.at(3), QStringLiteral("g0003.gb"));
    int previous = -1;
    for (const HeaderPassFailure &f : failures) {
        EXPECT_GT(f.index, previous);
        EXPECT_TRUE(f.index % 7 == 0 || f.index % 7 == 2) << f.index;
        previous = f.index;
    }
    EXPECT_EQ(failures.size(), 48u + 100u);  // files under 336 bytes, and the broken zips
}

// Files that must come from the disk: the taker, made to sleep on the
// drive, leaves the reading to the pool, which grows; the results are still
// those of one thread, in order.
TEST(HeadReader, AColdFolderGrowsThePool)
{
    QTemporaryDir dir;
    std::vector<QByteArray> names;
    for (int i = 0; i < 640; ++i) {
        names.push_back(QByteArray("cold") + QByteArray::number(i) + ".gb");
        writeFile(dir.filePath(QString::fromUtf8(names.back())), romImage("COLD" + QByteArray::number(i)));
    }
    const RomFolder folder(dir.path());
    Executor executor(HeadReader::kThreads + HeadReader::kSpareThreads);
    QStringList alone;
    {
        HeadReader reader(folder.fd(), names, nullptr, 0);
        for (size_t i = 0; i < names.size(); ++i)
            alone.append(describe(reader.take(i)));
    }
    // Written to the disk, then dropped from the page cache file by file.
    ASSERT_EQ(::syncfs(folder.fd()), 0);
    bool evicted = true;
    for (const QByteArray &name : names) {
        const int fd = ::openat(folder.fd(), name.constData(), O_RDONLY);
        ASSERT_GE(fd, 0);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        void *map = ::mmap(nullptr, 4096, PROT_READ, MAP_SHARED, fd, 0);
        unsigned char resident = 0;
        evicted &= map != MAP_FAILED && ::mincore(map, 4096, &resident) == 0 && !(resident & 1);
        ::munmap(map, 4096);
        ::close(fd);
    }
    if (!evicted)
        GTEST_SKIP() << "this file system keeps its files in memory";
    QStringList pooled;
    HeadReader reader(folder.fd(), names, &executor);
    for (size_t i = 0; i < names.size(); ++i)
        pooled.append(describe(reader.take(i)));
    EXPECT_EQ(pooled, alone);
    EXPECT_GT(reader.threadCount(), 1u);
}

}  // namespace
