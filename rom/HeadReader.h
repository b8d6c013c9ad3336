#pragma once

#include "platform/Executor.h"
#include "platform/IoError.h"
#include "rom/FileStamp.h"
#include "rom/RomKey.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace vantorix {

// What readRomHead found for one file.
struct HeadResult {
    bool regular = false;  // false: no regular file by that name (skipped)
    QByteArray head;       // may lie in the reader's buffers: see take()
    qint64 size = 0;
    QString archiveEntry;
    std::optional<IoError> error;
    // When keys are asked for (see RomKeyRead).
    RomKey key;
    FileStamp stamp;
    bool keyFresh = false;
};

// Reads the heads of files in a folder ahead of the one who takes them.
// A cold folder, a USB stick or a network share answers many requests at
// once far faster than one after another, so helpers on the program's
// executor (up to threads of them, never its last kSpareThreads) open,
// reads and closes the files (and unpacks archives), and nothing else: the
// results are taken in list order on the caller's thread, which does all
// the rest. The pool starts with one thread. While the files come from
// memory, the taker reads batches further on itself rather than wait; a
// batch during which it waited on the drive shows a slow one, and from
// then on the pool grows, up to its size, each time the taker waits long
// for a result. At
// most a bounded number of results wait to be taken, each batch's in
// buffers of its own that are used again, so memory does not grow with the
// folder. A short list is read on the caller's thread alone.
class HeadReader {
public:
    // Threads to wait on a slow drive with, not to keep the cores busy.
    static constexpr int kThreads = 16;
    // Threads of the executor no reader takes: a tool-tip or a picture is
    // not kept waiting behind the reading of a folder.
    static constexpr int kSpareThreads = 4;
    static constexpr size_t kBatch = 16;            // files a thread claims at once
    static constexpr size_t kWindow = 32;           // batches read ahead at most
    static constexpr size_t kShortList = 64;        // read without threads
    // A batch of files in memory is read without sleeping, or with a few
    // short waits on locks; from a drive, nearly every file puts the reader
    // to sleep, a disk's seek or a network's round trip each time.
    static constexpr long kSlowBatchSleeps = kBatch / 2;
    static constexpr std::chrono::microseconds kSlowBatchWait{500};

    // The pool's size: kThreads, or VANTORIX_READ_THREADS where it is set
    // (0 reads on the caller's thread alone, as a baseline to measure by).
    static int defaultThreads();

    // names stay owned by the caller. The reading threads read names[i]
    // until take(i) has returned, so names[i] may change (be moved out)
    // only after that, and the vector itself not while the reader lives.
    // Where no thread can be started, everything is read by the taker.
    // With knownKeys, each result carries the ROM's key too, taken from
    // knownKeys for a file unchanged since (which stays untouched while
    // the reader lives) or read whole by the pool.
    // The helpers run on executor (none without one: the taker reads all).
    HeadReader(int dirFd, const std::vector<QByteArray> &names, Executor *executor,
               int threads = defaultThreads(), const QHash<FileStamp, RomKey> *knownKeys = nullptr);
    ~HeadReader();
    HeadReader(const HeadReader &) = delete;
    HeadReader &operator=(const HeadReader &) = delete;

    // The result of names[index]. Indexes are taken one after another from
    // 0 (the reader may be left at any point). The head may lie in the
    // reader's buffers: it stays valid until the next call.
    HeadResult take(size_t index);

    // How many helpers have started so far.
    size_t threadCount() const { return started_; }

private:
    struct Slot {
        std::vector<HeadResult> results;
        bool ready = false;
    };

    HeadResult read(size_t index, char *buffer) const;
    void readBatch(size_t batch);
    void work();
    void addThread(std::unique_lock<std::mutex> &lock);
    // False when the system would not start one.
    bool startThread();
    // Waits for batch, or reads it here if no thread has claimed it.
    void collect(size_t batch);
    size_t batches() const { return (names_.size() + kBatch - 1) / kBatch; }
    Slot &slotOf(size_t batch) { return window_[batch % window_.size()]; }

    int dirFd_;
    const std::vector<QByteArray> &names_;
    const QHash<FileStamp, RomKey> *knownKeys_;
    Executor *executor_;
    size_t maxThreads_ = 0;
    size_t started_ = 0;  // helpers, grown by the taker only
    // What a helper that begins late, after the reader is gone, still
    // finds: the reader waits only for the helpers that began before it
    // closed the gate.
    struct Gate {
        std::mutex mutex;
        std::condition_variable ended;
        bool closed = false;
        int running = 0;
    };
    std::shared_ptr<Gate> gate_ = std::make_shared<Gate>();
    std::vector<char> buffers_;         // kHeadBytes a file of the window

    std::mutex mutex_;
    std::condition_variable readyChanged_;
    std::condition_variable spaceChanged_;
    // Batches by number modulo the window's size; claiming and handing over
    // a batch at a time keeps the lock out of the way of warm, fast reads.
    // The batch being taken keeps its slot (its heads lie there) until the
    // taker moves on.
    std::vector<Slot> window_;
    size_t nextBatch_ = 0;   // the next batch a thread claims
    size_t takenBatch_ = 0;  // the batch being taken; every one below is done
    size_t currentBatch_ = size_t(-1);  // by the taker only
    bool stopping_ = false;
    bool slowDrive_ = false;  // by the taker only
};

}  // namespace vantorix
