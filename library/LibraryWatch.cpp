#include "library/LibraryWatch.h"

#include "reading/Catalogue.h"
#include "platform/FilePath.h"

#include <QTimer>

#include <set>
#include <utility>

#include <sys/stat.h>

namespace vantorix {

namespace {

constexpr int kWatchesAStep = 250;
constexpr int kMostDepth = 32;

// Every folder of the trees below roots (roots included), breadth first,
// each real folder once (a link loop ends), at most budget of them; cut
// says whether some were left out.
QStringList walkFolders(const QStringList &roots, int budget, bool *cut)
{
    QStringList paths;
    std::set<std::pair<dev_t, ino_t>> seen;
    QStringList level = roots;
    for (int depth = 0; depth <= kMostDepth && !level.isEmpty(); ++depth) {
        QStringList next;
        for (const QString &path : std::as_const(level)) {
            if (paths.size() >= budget) {
                *cut = true;
                return paths;
            }
            struct stat st;
            if (::stat(encodePath(path).constData(), &st) != 0 || !S_ISDIR(st.st_mode)
                || !seen.insert({st.st_dev, st.st_ino}).second)
                continue;
            paths.append(path);
            for (const QString &name : subfolderNames(path, budget))
                next.append(path + QLatin1Char('/') + name);
        }
        level = std::move(next);
    }
    return paths;
}

}  // namespace

struct LibraryWatch::Walked {
    QStringList folders;          // to watch
    QStringList gone;             // watched, and no longer there
    QList<LibraryPlace> places;   // to read again
    bool cut = false;
};

LibraryWatch::LibraryWatch(Catalogue &catalogue, QObject *parent, int mostWatched)
    : QObject(parent), catalogue_(catalogue), mostWatched_(mostWatched), watcher_(new QFileSystemWatcher(this))
{
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &LibraryWatch::noteChange);
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, &LibraryWatch::takeChanges);
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, [this] {
        QList<LibraryPlace> places;
        for (const QString &folder : std::as_const(libraryFolders_))
            places.append({folder, folder, true});
        if (!places.isEmpty())
            Q_EMIT placesChanged(places);
    });
}

QString LibraryWatch::libraryFolderOf(const QString &path) const
{
    for (const QString &folder : libraryFolders_)
        if (path == folder || path.startsWith(folder + QLatin1Char('/')))
            return folder;
    return QString();
}

void LibraryWatch::watch(const QStringList &libraryFolders)
{
    libraryFolders_ = libraryFolders;
    const quint64 serial = ++serial_;
    ++walking_;
    const int budget = mostWatched_;
    catalogue_.runThenHandBack(
        this,
        [libraryFolders, budget] {
            Walked walked;
            walked.folders = walkFolders(libraryFolders, budget, &walked.cut);
            return walked;
        },
        [this, serial](const Walked &walked) {
            --walking_;
            if (serial != serial_)
                return;  // asked again meanwhile
            const QSet<QString> wanted(walked.folders.cbegin(), walked.folders.cend());
            QStringList unwanted;
            for (const QString &path : std::as_const(watched_))
                if (!wanted.contains(path))
                    unwanted.append(path);
            if (!unwanted.isEmpty()) {
                watcher_->removePaths(unwanted);
                for (const QString &path : std::as_const(unwanted))
                    watched_.remove(path);
            }
            toAdd_.clear();
            QStringList fresh;
            for (const QString &path : walked.folders)
                if (!watched_.contains(path))
                    fresh.append(path);
            shortOfWatches_ = walked.cut;
            addWatches(fresh);
        });
}

void LibraryWatch::addWatches(const QStringList &paths)
{
    const bool idle = toAdd_.isEmpty();
    toAdd_ += paths;
    if (idle)
        addSomeWatches();
}

void LibraryWatch::addSomeWatches()
{
    // A step at a time: each watch costs the kernel a moment, and 20,000
    // of them at once would hold the window for a second.
    QStringList step = toAdd_.mid(0, kWatchesAStep);
    toAdd_.remove(0, step.size());
    QStringList faithful;
    for (const QString &path : std::as_const(step)) {
        if (watched_.size() + faithful.size() >= mostWatched_) {
            shortOfWatches_ = true;
            break;
        }
        if (!isFaithfulPath(path))  // the watcher knows names as text only
            shortOfWatches_ = true;
        else if (!watched_.contains(path))
            faithful.append(path);
    }
    const QStringList refused = faithful.isEmpty() ? QStringList() : watcher_->addPaths(faithful);
    if (!refused.isEmpty())
        shortOfWatches_ = true;
    const QSet<QString> notWatched(refused.cbegin(), refused.cend());
    for (const QString &path : std::as_const(faithful))
        if (!notWatched.contains(path))
            watched_.insert(path);
    if (!toAdd_.isEmpty() && !shortOfWatches_) {
        QTimer::singleShot(0, this, &LibraryWatch::addSomeWatches);
        return;
    }
    toAdd_.clear();
    followLimit(shortOfWatches_);
}

void LibraryWatch::followLimit(bool shortOfWatches)
{
    if (shortOfWatches && !poll_.isActive()) {
        poll_.start();
        if (!std::exchange(limitSaid_, true))
            Q_EMIT limitReached();
    } else if (!shortOfWatches) {
        poll_.stop();
    }
}

void LibraryWatch::noteChange(const QString &path)
{
    changed_.insert(path);
    settle_.start();
}

void LibraryWatch::takeChanges()
{
    const QSet<QString> changed = std::exchange(changed_, {});
    QList<std::pair<QString, QString>> folders;  // changed folder, its library folder
    for (const QString &path : changed) {
        const QString library = libraryFolderOf(path);
        if (!library.isEmpty())
            folders.append({path, library});
    }
    if (folders.isEmpty())
        return;
    const QSet<QString> watched = watched_;  // shared, not copied
    const int budget = qMax(0, mostWatched_ - int(watched_.size()));
    ++walking_;
    catalogue_.runThenHandBack(
        this,
        [folders, watched, budget] {
            // Each changed folder is read again alone; a folder that came
            // is read whole (and watched), one that went leaves its games.
            Walked walked;
            for (const auto &[folder, library] : folders) {
                struct stat st;
                if (::stat(encodePath(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode)) {
                    walked.gone.append(folder);
                    walked.places.append({folder, library, true});
                    continue;
                }
                walked.places.append({folder, library, false});
                for (const QString &name : subfolderNames(folder, budget + 1)) {
                    const QString sub = folder + QLatin1Char('/') + name;
                    if (watched.contains(sub))
                        continue;
                    walked.places.append({sub, library, true});
                    bool cut = false;
                    walked.folders += walkFolders({sub}, qMax(0, budget - int(walked.folders.size())), &cut);
                    walked.cut = walked.cut || cut;
                }
            }
            return walked;
        },
        [this](const Walked &walked) {
            --walking_;
            if (!walked.gone.isEmpty()) {
                watcher_->removePaths(walked.gone);
                for (const QString &path : walked.gone)
                    watched_.remove(path);
            }
            shortOfWatches_ = shortOfWatches_ || walked.cut;
            if (!walked.folders.isEmpty())
                addWatches(walked.folders);
            Q_EMIT placesChanged(walked.places);
        });
}

}  // namespace vantorix
