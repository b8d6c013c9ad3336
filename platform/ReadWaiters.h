#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <utility>
#include <vector>

namespace vantorix {

// Who waits for a reading of a file under way, so that a file asked for
// again meanwhile is not read twice: each gets the result on the owner's
// thread, unless its context is gone by then.
template <typename Result>
class ReadWaiters {
public:
    using Ready = std::function<void(const Result &)>;

    // Adds a waiter for path; true when it is the first, whose reading the
    // caller starts.
    bool add(const QString &path, QObject *context, Ready ready)
    {
        auto waiting = waiting_.find(path);
        const bool first = waiting == waiting_.end();
        if (first)
            waiting = waiting_.insert(path, {});
        waiting->emplace_back(QPointer<QObject>(context), std::move(ready));
        return first;
    }

    // Hands the reading's result to path's waiters that are still there.
    void finish(const QString &path, const Result &result)
    {
        for (const auto &[context, ready] : waiting_.take(path))
            if (context)
                ready(result);
    }

private:
    QHash<QString, std::vector<std::pair<QPointer<QObject>, Ready>>> waiting_;
};

}  // namespace vantorix
