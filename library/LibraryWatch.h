#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <QTimer>

namespace vantorix {

// Keeps the library's folders current while the program runs: each folder
// and subfolder is watched (inotify, through QFileSystemWatcher), and a
// change is told, once it settles, as the library folder it lies in. Where
// the system's watches run out, a light pass every kPollMs tells every
// folder instead, and limitReached says so once.
class LibraryWatch : public QObject {
    Q_OBJECT
public:
    static constexpr int kSettleMs = 300;
    static constexpr int kPollMs = 10'000;
    static constexpr int kMostWatched = 20'000;

    // mostWatched: how many folders are watched at most, the rest looked
    // at by the light pass.
    explicit LibraryWatch(QObject *parent = nullptr, int mostWatched = kMostWatched);

    // Watches these library folders and every folder below them (at most
    // kMostWatched folders in all; past that, the light pass).
    void watch(const QStringList &libraryFolders);
    // Whether the light pass stands in for (some of) the watches.
    bool polling() const { return poll_.isActive(); }

Q_SIGNALS:
    // Files came, went or were renamed in these library folders.
    void foldersChanged(const QStringList &libraryFolders);
    // The watches ran out: the folders are looked at every kPollMs.
    void limitReached();

private:
    void noteChange(const QString &path);
    void addTree(const QString &folder, QStringList *paths) const;
    // Whether a folder that changed may have gained or lost a subfolder,
    // which the watches must follow.
    bool foldersMayHaveChanged(const QSet<QString> &changed) const;

    const int mostWatched_;
    QFileSystemWatcher *watcher_ = nullptr;
    QStringList libraryFolders_;
    QSet<QString> changed_;
    QHash<QString, quint64> links_;  // each folder watched -> its link count then
    QTimer settle_;
    QTimer poll_;
    bool limitSaid_ = false;
};

}  // namespace vantorix
