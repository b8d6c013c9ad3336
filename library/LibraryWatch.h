#pragma once

#include "library/LibraryScan.h"

#include <QFileSystemWatcher>
#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>

namespace vantorix {

class Catalogue;

// Keeps the library's folders current while the program runs: each folder
// and subfolder is watched (inotify, through QFileSystemWatcher), and a
// change is told, once it settles, as the places to read again: the folder
// whose files changed, alone, and each folder that came or went, with its
// subfolders. The folders are walked on the catalogue's executor and the
// watches laid in steps, so that 20,000 folders never stop the window.
// Where the system's watches run out, a light pass every kPollMs tells
// every library folder instead, and limitReached says so once.
class LibraryWatch : public QObject {
    Q_OBJECT
public:
    static constexpr int kSettleMs = 300;
    static constexpr int kPollMs = 10'000;
    static constexpr int kMostWatched = 20'000;

    // mostWatched: how many folders are watched at most, the rest looked
    // at by the light pass.
    explicit LibraryWatch(Catalogue &catalogue, QObject *parent = nullptr, int mostWatched = kMostWatched);

    // Watches these library folders and every folder below them (at most
    // mostWatched folders in all; past that, the light pass).
    void watch(const QStringList &libraryFolders);
    // Whether the light pass stands in for (some of) the watches.
    bool polling() const { return poll_.isActive(); }
    // Whether every watch asked for is laid (nothing walked or added now).
    bool settled() const { return walking_ == 0 && toAdd_.isEmpty(); }
    int watchedCount() const { return int(watched_.size()); }

Q_SIGNALS:
    // Files came, went or were renamed in these places.
    void placesChanged(const QList<vantorix::LibraryPlace> &places);
    // The watches ran out: the folders are looked at every kPollMs.
    void limitReached();

private:
    struct Walked;
    void noteChange(const QString &path);
    void takeChanges();
    // Lays the watches of paths, a step at a time on the event loop.
    void addWatches(const QStringList &paths);
    void addSomeWatches();
    void followLimit(bool shortOfWatches);
    QString libraryFolderOf(const QString &path) const;

    Catalogue &catalogue_;
    const int mostWatched_;
    QFileSystemWatcher *watcher_;
    QStringList libraryFolders_;
    QSet<QString> watched_;
    QStringList toAdd_;
    QSet<QString> changed_;
    quint64 serial_ = 0;
    int walking_ = 0;
    bool shortOfWatches_ = false;
    QTimer settle_;
    QTimer poll_;
    bool limitSaid_ = false;
};

}  // namespace vantorix
