#include "reading/FolderReading.h"

#include "platform/FilePath.h"
#include "platform/IoError.h"
#include "reading/Catalogue.h"
#include "names/HashCache.h"
#include "reading/HeaderPass.h"
#include "rom/RomFolder.h"

#include <QElapsedTimer>
#include <QMetaObject>

#include <atomic>

namespace vantorix {

namespace {

// How often batches come back: the list grows visibly, and the window's
// thread is not flooded with one event per file.
constexpr qint64 kBatchMs = 100;

}  // namespace

FolderReading::FolderReading(Catalogue &catalogue, QObject *parent)
    : QObject(parent), catalogue_(catalogue), line_(new TaskLine(catalogue.executor(), this))
{
}

FolderReading::~FolderReading()
{
    // The tasks use this object: they end before it does.
    delete line_;
}

void FolderReading::cancel()
{
    line_->cancel();
    busy_ = false;
}

void FolderReading::start(std::function<void(const TaskLine::Control &)> work)
{
    busy_ = true;
    line_->start(std::move(work));
}

void FolderReading::list(const QString &folder, const QString &mask, const ListingScope &scope, Listed callbacks)
{
    start([this, folder, mask, scope, callbacks](const TaskLine::Control &task) {
        QStringList found;
        QElapsedTimer sinceBatch;
        sinceBatch.start();
        const auto flush = [&] {
            if (!found.isEmpty())
                task.handBack([callbacks, found] { callbacks.found(found); });
            found.clear();
            sinceBatch.restart();
        };
        ListingScope walking = scope;
        walking.onFolder = [&](const std::vector<QByteArray> &files) {
            // One folder alone is listed at once: only a walk shows what it
            // found so far.
            if (scope.subfolders) {
                for (const QByteArray &path : files)
                    found.append(displayPath(decodePath(path)));
                if (sinceBatch.elapsed() >= kBatchMs)
                    flush();
            }
            return !task.cancelled();
        };
        try {
            const RomFolder dir(folder);
            auto listing = std::make_shared<RomListing>(listRoms(dir, mask, walking));
            task.handBack([this, callbacks, listing] {
                busy_ = false;
                callbacks.done(*listing);
            });
        } catch (const IoError &error) {
            const QString reason = error.text();
            task.handBack([this, callbacks, reason] {
                busy_ = false;
                callbacks.failed(reason);
            });
        }
    });
}

namespace {

// The items of one pass, rewritten into batches that go back to the window.
class BatchedEntries : public EntryList {
public:
    BatchedEntries(const std::vector<FolderReading::Item> &items, const std::atomic<bool> &cancelled,
                   std::function<void(QList<FolderReading::Row>, int)> send)
        : items_(items), cancelled_(cancelled), send_(std::move(send))
    {
        timer_.start();
    }
    int count() const override { return int(items_.size()); }
    QString text(int index) const override { return displayPath(decodePath(items_[size_t(index)].fileName)); }
    QByteArray fileName(int index) const override { return items_[size_t(index)].fileName; }
    QString entryName(int index) const override { return items_[size_t(index)].entryName; }
    void setText(int index, const QString &text) override { add({items_[size_t(index)].row, text, false}); }
    void setFailed(int index, const QString &reason) override { add({items_[size_t(index)].row, reason, true}); }
    bool cancelled() const override { return cancelled_; }

    void flush()
    {
        if (!batch_.isEmpty())
            send_(std::exchange(batch_, {}), read_);
        timer_.restart();
    }

private:
    void add(const FolderReading::Row &row)
    {
        batch_.append(row);
        ++read_;
        if (timer_.elapsed() >= kBatchMs)
            flush();
    }

    const std::vector<FolderReading::Item> &items_;
    const std::atomic<bool> &cancelled_;
    std::function<void(QList<FolderReading::Row>, int)> send_;
    QList<FolderReading::Row> batch_;
    QElapsedTimer timer_;
    int read_ = 0;
};

}  // namespace

void FolderReading::convert(const QString &folder, std::vector<Item> items, const QString &namePrefix, bool names,
                            Converted callbacks)
{
    const int total = int(items.size());
    start([this, folder, items = std::move(items), namePrefix, names, callbacks, total](const TaskLine::Control &task) {
        BatchedEntries entries(items, task.cancelFlag(), [&](QList<Row> rows, int read) {
            task.handBack([callbacks, rows, read, total] { callbacks.rows(rows, read, total); });
        });
        QStringList failures;
        bool cacheBusy = false;
        try {
            const RomFolder dir(folder);
            // Never waiting for a cache another program holds: this pass
            // goes without it.
            for (const HeaderPassFailure &failure :
                 runHeaderPass(entries, dir, {}, namePrefix, names ? &catalogue_ : nullptr, 0, &cacheBusy,
                               &catalogue_.executor()))
                failures.append(displayPath(failure.fileName) + QStringLiteral(": ") + failure.error.text());
        } catch (const IoError &error) {
            failures.append(displayPath(folder) + QStringLiteral(": ") + error.text());
        }
        entries.flush();
        task.handBack([this, callbacks, failures, cacheBusy] {
            busy_ = false;
            callbacks.done(failures, cacheBusy);
        });
    });
}

}  // namespace vantorix
