#pragma once

#include "names/GameDatabase.h"
#include "pictures/PictureFetcher.h"

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include "platform/Executor.h"
#include "platform/TaskLine.h"

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <tuple>

namespace vantorix {

class DetailToolTips;

// What the program knows of games, in one place: the game databases, where
// the hash cache lies, the details read for tool-tips, and the one executor
// that slow work runs on, off the window's thread. Each program's main()
// makes one and hands it to whatever needs it.
class Catalogue : public QObject {
    Q_OBJECT
public:
    // datFiles: the --dat files, asked before all others.
    explicit Catalogue(const QStringList &datFiles = {}, const QString &hashCachePath = QString(),
                       QObject *parent = nullptr);
    // Waits for the tasks under way.
    ~Catalogue() override;

    // The databases, read on first use, from any thread; a call while
    // another thread reads them waits for that reading.
    std::shared_ptr<const LoadedGameDatabases> databases() const;
    // Starts reading them on a thread, so that the first use finds them
    // read (or waits less).
    void preloadDatabases();
    // Reads a dropped DAT file, copies it into the user's folder (under a
    // free name) and reads every database again. Returns how many games it
    // names (roms: how many ROMs it lists). Throws IoError when it cannot be read or copied, DatError when
    // it is no DAT.
    int addUserDatabase(const QString &path, QString *databaseName, int *roms = nullptr);
    // What adding a dropped database gave: failure holds the IoError or
    // DatError it threw, to be thrown again where it is reported.
    struct AddedDatabase {
        int games = 0;
        int roms = 0;
        QString name;
        std::exception_ptr failure;
    };
    // The same on the executor, and every database read again there; done
    // receives the result on the catalogue's thread, once the databases
    // it names by are the ones in use.
    void addUserDatabaseInBackground(const QString &path, QObject *context,
                                     std::function<void(const AddedDatabase &)> done);
    // Reads every database again (one added or removed).
    void reloadDatabases();
    // The same on the executor; databasesChanged follows on the
    // catalogue's thread.
    void reloadDatabasesInBackground();
    // Reads the databases again whenever a file in the user's folder of
    // them is added, removed or changed (by a file manager, say), a moment
    // after the last change.
    void watchUserDatabases();

    const QString &hashCachePath() const { return hashCachePath_; }
    // Held by whoever of this program opens, reads, writes or closes the
    // hash cache, so that its own readings never find it busy.
    std::mutex &hashCacheTurn() { return hashCacheTurn_; }
    Executor &executor() { return executor_; }
    DetailToolTips &toolTips() { return *toolTips_; }
    // Lets this catalogue download pictures of games: the fetcher is made
    // at the first call of pictureDownloads.
    void allowPictureDownloads(PictureFetcherMaker maker) { downloadsMaker_ = std::move(maker); }
    // The downloads of game pictures, made at the first call; on the
    // catalogue's thread only. Null where downloads are not allowed.
    PictureFetcher *pictureDownloads();

    // Waits until no task is under way (tests, and the end of the run).
    void waitForTasks();

    // Runs work on the executor and hands what it returns to done on the
    // catalogue's thread, unless context is gone by then. Whoever may have
    // asked again meanwhile checks a serial of its own in done.
    template <typename Work, typename Done>
    void runThenHandBack(QObject *context, Work work, Done done)
    {
        handBack(executor_, context, std::move(work), std::move(done));
    }

Q_SIGNALS:
    // The databases were read again: names may have changed. Sent on the
    // catalogue's thread.
    void databasesChanged();

private:
    // The database files by path, size and modification time: what a
    // reading saw, to tell a change of the folder from a change of none.
    using FilesSeen = QList<std::tuple<QString, qint64, QDateTime>>;
    FilesSeen databaseFilesNow() const;
    void takeDatabases(std::shared_ptr<const LoadedGameDatabases> fresh, FilesSeen seen, quint64 generation);

    const QStringList datFiles_;
    FilesSeen filesRead_;
    // Readings of the databases in the order begun, and the latest taken:
    // on the catalogue's thread only.
    quint64 databaseGeneration_ = 0;
    quint64 databaseTaken_ = 0;
    const QString hashCachePath_;
    mutable std::mutex mutex_;
    std::mutex hashCacheTurn_;
    mutable std::shared_ptr<const LoadedGameDatabases> loaded_;
    mutable std::mutex firstReading_;
    std::atomic<bool> preloading_{false};
    Executor executor_;
    std::unique_ptr<DetailToolTips> toolTips_;
    QFileSystemWatcher *watcher_ = nullptr;
    PictureFetcherMaker downloadsMaker_;
    std::unique_ptr<PictureFetcher> downloads_;
};

}  // namespace vantorix
