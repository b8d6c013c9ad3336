#include "rom/HeadReader.h"

#include "rom/RomHeader.h"

#include <sys/resource.h>
#include <time.h>


namespace vantorix {

int HeadReader::defaultThreads()
{
    static const int threads = [] {
        bool ok = false;
        const int wanted = qEnvironmentVariableIntValue("VANTORIX_READ_THREADS", &ok);
        return ok && wanted >= 0 && wanted <= 256 ? wanted : kThreads;
    }();
    return threads;
}

namespace {

// What the calling thread has done so far: its CPU time, and how often it
// waited for something (a disk, a lock: its voluntary context switches).
struct ThreadTimes {
    std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
    std::chrono::microseconds cpu{0};
    long sleeps = 0;

    ThreadTimes()
    {
        // The thread's clock counts to the nanosecond; its resource usage
        // is sampled, good for counting sleeps only.
        struct timespec clock;
        if (::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &clock) == 0)
            cpu = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::seconds(clock.tv_sec)
                                                                        + std::chrono::nanoseconds(clock.tv_nsec));
#ifdef RUSAGE_THREAD
        struct rusage usage;
        if (::getrusage(RUSAGE_THREAD, &usage) == 0)
            sleeps = usage.ru_nvcsw;
#endif
    }
};

// Whether the thread, between two readings of its times, waited on a
// drive: it slept, and spent long off the processor. Unpacking archives
// keeps it on the processor; a busy machine takes it off without its
// sleeping.
bool waitedOnDrive(const ThreadTimes &before, const ThreadTimes &after)
{
    const auto offProcessor = (after.wall - before.wall) - (after.cpu - before.cpu);
    return after.sleeps - before.sleeps >= HeadReader::kSlowBatchSleeps
           && offProcessor > HeadReader::kSlowBatchWait;
}

}  // namespace

HeadReader::HeadReader(int dirFd, const std::vector<QByteArray> &names, Executor *executor, int threads,
                       const QHash<FileStamp, RomKey> *knownKeys)
    : dirFd_(dirFd), names_(names), knownKeys_(knownKeys), executor_(executor)
{
    if (names.size() < kShortList || threads <= 0 || !executor) {
        buffers_.resize(kHeadBytes);  // one file at a time
        return;
    }
    window_.resize(qMin(kWindow, batches()));
    for (Slot &slot : window_)
        slot.results.resize(kBatch);
    buffers_.resize(window_.size() * kBatch * kHeadBytes);
    maxThreads_ = size_t(threads);
    // Without a free thread of the executor the caller reads every batch
    // itself: see collect().
    startThread();
}

bool HeadReader::startThread()
{
    // Only a thread free now: a helper queued behind other tasks would
    // come when the taker no longer needs it.
    if (executor_->activeThreadCount() >= executor_->maxThreadCount() - kSpareThreads) {
        return false;
    }
    const bool started = executor_->tryStart([this, gate = gate_] {
        {
            const std::lock_guard<std::mutex> lock(gate->mutex);
            if (gate->closed)
                return;
            ++gate->running;
        }
        work();
        const std::lock_guard<std::mutex> lock(gate->mutex);
        if (--gate->running == 0)
            gate->ended.notify_all();
    });
    if (started)
        ++started_;
    return started;
}

HeadReader::~HeadReader()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    spaceChanged_.notify_all();
    std::unique_lock<std::mutex> lock(gate_->mutex);
    gate_->closed = true;
    gate_->ended.wait(lock, [this] { return gate_->running == 0; });
}

HeadResult HeadReader::read(size_t index, char *buffer) const
{
    HeadResult result;
    try {
        RomKeyRead keyRead;
        keyRead.known = knownKeys_;
        result.regular = readRomHeadInto(dirFd_, names_[index], buffer, &result.head, &result.size,
                                         &result.archiveEntry, knownKeys_ ? &keyRead : nullptr);
        result.key = keyRead.key;
        result.stamp = keyRead.stamp;
        result.keyFresh = keyRead.fresh;
    } catch (const IoError &error) {
        result.error = error;
    } catch (const std::bad_alloc &) {
        result.error = IoError::fileTooLarge();
    }
    return result;
}

// Reads batch into its slot, claimed and not ready, without the lock.
void HeadReader::readBatch(size_t batch)
{
    const size_t slot = batch % window_.size();
    std::vector<HeadResult> &results = window_[slot].results;
    char *buffers = buffers_.data() + slot * kBatch * kHeadBytes;
    const size_t first = batch * kBatch;
    const size_t end = qMin(names_.size(), first + kBatch);
    for (size_t index = first; index < end; ++index)
        results[index - first] = read(index, buffers + (index - first) * kHeadBytes);
}

void HeadReader::work()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        spaceChanged_.wait(lock, [this] {
            return stopping_ || nextBatch_ >= batches() || nextBatch_ < takenBatch_ + window_.size();
        });
        if (stopping_ || nextBatch_ >= batches())
            return;
        const size_t batch = nextBatch_++;
        lock.unlock();
        readBatch(batch);
        lock.lock();
        slotOf(batch).ready = true;
        // Only the taker waits on this, for the batch it needs next.
        if (batch == takenBatch_)
            readyChanged_.notify_one();
    }
}

void HeadReader::addThread(std::unique_lock<std::mutex> &lock)
{
    if (started_ >= maxThreads_)
        return;
    lock.unlock();
    startThread();
    lock.lock();
}

void HeadReader::collect(size_t batch)
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (currentBatch_ != size_t(-1))
        slotOf(currentBatch_).ready = false;  // its slot is free again
    takenBatch_ = batch;
    spaceChanged_.notify_one();
    Slot &slot = slotOf(batch);
    const auto ready = [&] { return slot.ready; };
    while (!ready()) {
        if (nextBatch_ == batch) {  // nobody reads it yet
            ++nextBatch_;
            lock.unlock();
            readBatch(batch);
            lock.lock();
            break;
        }
        // While the files come from memory, a wait costs more than the
        // reading: read a batch further on instead, and keep both this
        // thread and the pool busy. A batch during which this thread waited
        // on the drive shows a slow one, which is the pool's to wait on.
        if (!slowDrive_ && nextBatch_ < batches() && nextBatch_ < batch + window_.size()) {
            const size_t ahead = nextBatch_++;
            lock.unlock();
            const ThreadTimes before;
            readBatch(ahead);
            slowDrive_ = waitedOnDrive(before, ThreadTimes());
            lock.lock();
            slotOf(ahead).ready = true;
            if (slowDrive_)
                addThread(lock);
            continue;
        }
        // A drive that keeps the readers waiting long can serve one more.
        if (slowDrive_ && !readyChanged_.wait_for(lock, std::chrono::microseconds(200), ready))
            addThread(lock);
        readyChanged_.wait(lock, ready);
    }
    slot.ready = true;
    currentBatch_ = batch;
}

HeadResult HeadReader::take(size_t index)
{
    if (window_.empty())
        return read(index, buffers_.data());
    const size_t batch = index / kBatch;
    if (batch != currentBatch_)
        collect(batch);
    return std::move(slotOf(batch).results[index % kBatch]);
}

}  // namespace vantorix
