#include "catalogue/DetailToolTips.h"

#include "app/FilePath.h"
#include "catalogue/CartridgeDetails.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <algorithm>
#include <sys/stat.h>

namespace vantorix {

FileStamp FileStamp::of(const QString &path)
{
    FileStamp stamp;
    struct stat st;
    const QByteArray name = encodePath(path);
    if (name.isEmpty() || ::stat(name.constData(), &st) != 0)
        return stamp;
    stamp.device = quint64(st.st_dev);
    stamp.inode = quint64(st.st_ino);
    stamp.size = qint64(st.st_size);
    stamp.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return stamp;
}

DetailToolTips &DetailToolTips::shared()
{
    static DetailToolTips instance;
    return instance;
}

std::optional<QString> DetailToolTips::cached(const QString &path)
{
    const auto found = known_.constFind(path);
    if (found == known_.constEnd() || found->stamp.size < 0 || !(found->stamp == FileStamp::of(path)))
        return std::nullopt;
    recent_.splice(recent_.begin(), recent_, std::find(recent_.begin(), recent_.end(), path));
    return found->text;
}

void DetailToolTips::request(const QString &path, QObject *context, std::function<void(const QString &)> ready)
{
    auto waiting = reading_.find(path);
    const bool first = waiting == reading_.end();
    if (first)
        waiting = reading_.insert(path, {});
    waiting->emplace_back(QPointer<QObject>(context), std::move(ready));
    if (!first)
        return;
    const QPointer<QObject> home(QCoreApplication::instance());
    pool_.start([this, path, home] {
        Known known;
        // Taken before the read: a file changed meanwhile is read again.
        known.stamp = FileStamp::of(path);
        try {
            known.text = detailToolTipOfFile(path);
        } catch (...) {
            known.stamp.size = -1;  // no memory for it: not kept
            known.text = displayPath(path);
        }
        if (home)
            QMetaObject::invokeMethod(home, [this, path, known] { finish(path, known); }, Qt::QueuedConnection);
    });
}

void DetailToolTips::finish(const QString &path, const Known &known)
{
    const std::vector<Waiter> waiters = reading_.take(path);
    if (known.stamp.size >= 0) {
        if (known_.contains(path))
            recent_.remove(path);
        known_.insert(path, known);
        recent_.push_front(path);
        while (recent_.size() > size_t(kKept)) {
            known_.remove(recent_.back());
            recent_.pop_back();
        }
    }
    for (const Waiter &waiter : waiters)
        if (waiter.first)
            waiter.second(known.text);
}

}  // namespace vantorix
