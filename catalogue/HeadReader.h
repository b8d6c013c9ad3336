#pragma once

#include "app/IoError.h"

#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace vantorix {

// What readRomHead found for one file.
struct HeadResult {
    bool regular = false;  // false: no regular file by that name (skipped)
    QByteArray head;
    qint64 size = 0;
    QString archiveEntry;
    std::optional<IoError> error;
};

// Reads the heads of files in a folder ahead of the one who takes them.
// A cold folder, a USB stick or a network share answers many requests at
// once far faster than one after another, so a small pool of threads opens,
// reads and closes the files (and unpacks archives), and nothing else: the
// results are taken in list order on the caller's thread, which does all
// the rest. The pool starts with one thread and grows, up to its size, each
// time the taker waits long for a result: a warm folder keeps one busy, a
// slow drive all of them. At most a bounded number of results wait to be
// taken, so memory does not grow with the folder. A short list is read on
// the caller's thread alone, when it is taken.
class HeadReader {
public:
    // Threads to wait on a slow drive with, not to keep the cores busy.
    static constexpr int kThreads = 16;
    static constexpr size_t kBatch = 16;            // files a thread claims at once
    static constexpr size_t kWindow = 32;           // batches read ahead at most
    static constexpr size_t kShortList = 64;        // read without threads

    // The pool's size: kThreads, or VANTORIX_READ_THREADS where it is set
    // (0 reads on the caller's thread alone, as a baseline to measure by).
    static int defaultThreads();

    // names stay owned by the caller and unchanged until the reader ends.
    HeadReader(int dirFd, const std::vector<QByteArray> &names, int threads = defaultThreads());
    ~HeadReader();
    HeadReader(const HeadReader &) = delete;
    HeadReader &operator=(const HeadReader &) = delete;

    // The result of names[index]; indexes are taken in increasing order.
    HeadResult take(size_t index);

private:
    HeadResult read(size_t index) const;
    void work();
    size_t batches() const { return (names_.size() + kBatch - 1) / kBatch; }

    int dirFd_;
    const std::vector<QByteArray> &names_;
    size_t maxThreads_ = 0;
    std::vector<std::thread> threads_;  // grown by the taker only

    std::mutex mutex_;
    std::condition_variable readyChanged_;
    std::condition_variable spaceChanged_;
    // Batches by number modulo the window's size; claiming and handing over
    // a batch at a time keeps the lock out of the way of warm, fast reads.
    std::vector<std::optional<std::vector<HeadResult>>> window_;
    size_t nextBatch_ = 0;   // the next batch a thread claims
    size_t takenBatch_ = 0;  // every batch below has been taken
    std::vector<HeadResult> current_;  // the batch being taken, by the taker only
    size_t currentBatch_ = size_t(-1);
    bool stopping_ = false;
};

}  // namespace vantorix
