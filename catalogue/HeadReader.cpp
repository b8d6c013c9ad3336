#include "catalogue/HeadReader.h"

#include "catalogue/RomHeader.h"

#include <chrono>

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

HeadReader::HeadReader(int dirFd, const std::vector<QByteArray> &names, int threads)
    : dirFd_(dirFd), names_(names)
{
    if (names.size() < kShortList || threads <= 0)
        return;
    window_.resize(qMin(kWindow, batches()));
    maxThreads_ = size_t(threads);
    threads_.reserve(maxThreads_);
    threads_.emplace_back([this] { work(); });
}

HeadReader::~HeadReader()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    spaceChanged_.notify_all();
    for (std::thread &thread : threads_)
        thread.join();
}

HeadResult HeadReader::read(size_t index) const
{
    HeadResult result;
    try {
        result.regular = readRomHead(dirFd_, names_[index], &result.head, &result.size, &result.archiveEntry);
    } catch (const IoError &error) {
        result.error = error;
    } catch (const std::bad_alloc &) {
        result.error = IoError::fileTooLarge();
    }
    return result;
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
        std::vector<HeadResult> results;
        const size_t end = qMin(names_.size(), (batch + 1) * kBatch);
        results.reserve(end - batch * kBatch);
        for (size_t index = batch * kBatch; index < end; ++index)
            results.push_back(read(index));
        lock.lock();
        window_[batch % window_.size()] = std::move(results);
        // Only the taker waits on this, for the batch it needs next.
        if (batch == takenBatch_)
            readyChanged_.notify_one();
    }
}

HeadResult HeadReader::take(size_t index)
{
    if (threads_.empty())
        return read(index);
    const size_t batch = index / kBatch;
    if (batch != currentBatch_) {
        std::unique_lock<std::mutex> lock(mutex_);
        takenBatch_ = batch;  // what the threads announce readiness for
        std::optional<std::vector<HeadResult>> &slot = window_[batch % window_.size()];
        const auto ready = [&] { return slot.has_value(); };
        // A warm cache answers within microseconds; a drive that keeps the
        // readers waiting longer can serve one more of them.
        if (!readyChanged_.wait_for(lock, std::chrono::microseconds(200), ready) && threads_.size() < maxThreads_) {
            lock.unlock();
            threads_.emplace_back([this] { work(); });
            lock.lock();
        }
        readyChanged_.wait(lock, ready);
        current_ = std::move(*slot);
        slot.reset();
        currentBatch_ = batch;
        takenBatch_ = batch + 1;
        lock.unlock();
        spaceChanged_.notify_one();
    }
    return std::move(current_[index % kBatch]);
}

}  // namespace vantorix
