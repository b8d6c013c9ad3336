#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

namespace testing_support {

// Writes bytes to path (creating folders), returns path.
QString writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

// A ROM image of size bytes (at least the header's end) with title bytes at
// the plain layout's title offset, or at offset when given.
QByteArray romImage(const QByteArray &title, qint64 size = 32768, qint64 titleOffset = 0x134);
// Runs the command kelpad with arguments (a minute at most): its standard
// output; status and errors receive its exit code and standard error.
QString runKelpad(const QStringList &arguments, int *status = nullptr, QString *errors = nullptr);

// Processes events until done() holds or a generous watchdog runs out;
// returns done()'s last answer.
bool waitFor(const std::function<bool()> &done, int watchdogMs = 30000);

// Saves and restores the process's current folder.
class CurrentFolderGuard {
public:
    CurrentFolderGuard();
    ~CurrentFolderGuard();

private:
    QString saved_;
};

// A snapshot of a folder's names, sizes and times, to show nothing changed.
QStringList folderState(const QString &folder);

// FIFOs with no writer: whoever opens one to read would wait for ever.
// The watch opens them for writing, which succeeds only while a reader
// waits: it counts that reader and lets it go on (it reads nothing).
class FifoWatch {
public:
    explicit FifoWatch(const QStringList &paths);
    ~FifoWatch();
    int opened() const { return opened_; }

private:
    std::vector<QByteArray> paths_;
    std::atomic<bool> stop_{false};
    std::atomic<int> opened_{0};
    std::thread thread_;
};

// Creates a file by its bytes (names that are not UTF-8 included).
void createRaw(const QByteArray &path, const QByteArray &bytes);

// A tmpfs of 64 KiB at path, unmounted at the end; mounted is false where
// this process may not mount.
struct SmallTmpfs {
    QString path;
    bool mounted;
    explicit SmallTmpfs(const QString &at);
    ~SmallTmpfs();
    // Fills it to the last block.
    void fill() const;
};

// Runs fn in a child process that has given up root's rights (uid nobody);
// returns the child's exit status (128 + the signal that ended it), or -1
// when the rights cannot be dropped.
int runUnprivileged(const std::function<int()> &fn);

}  // namespace testing_support

#include <ostream>

// Readable test failure messages for Qt's strings.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList &list, std::ostream *os)
{
    *os << '{';
    for (const QString &text : list)
        *os << " \"" << text.toStdString() << '"';
    *os << " }";
}
