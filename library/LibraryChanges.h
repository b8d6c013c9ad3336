#pragma once

#include "library/GameStart.h"
#include "library/LibraryStore.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace vantorix {

class Catalogue;

// The windows' way to the library's store: every read and change runs on
// the catalogue's executor, one at a time and in the order asked, so that
// a store held by another program (its lock waited for up to 5 s) or a
// large store never stops the window. Plays are queued: one that cannot be
// written yet (the store held, or unreadable) stays in the queue, is said
// once, and is written by a later try or at the end of the run.
class LibraryChanges : public QObject, public PlayCounter {
    Q_OBJECT
public:
    static constexpr int kRetryMs = 10'000;

    explicit LibraryChanges(Catalogue &catalogue, const QString &storePath = LibraryStore::defaultPath(),
                            QObject *parent = nullptr);
    // Writes the plays still queued, waiting a moment for the lock.
    ~LibraryChanges() override;

    const QString &storePath() const { return storePath_; }

    // Runs edit (which throws IoError) with the store's path on the
    // executor, after the changes asked before it; done, unless context is
    // gone, receives the failure's text (empty when it was written).
    void change(QObject *context, std::function<void(const QString &storePath)> edit,
                std::function<void(const QString &failure)> done);
    // The store read on the executor (records of one file spelled two ways
    // as one), after the changes asked before.
    void read(QObject *context, std::function<void(const LibraryStore &)> done);

    // A play of the game at path (a start, or the end of one that ran
    // seconds): written in its turn.
    void recordPlay(const QString &game, const QDateTime &when = QDateTime::currentDateTimeUtc(),
                    const QString &emulator = QString());
    void recordPlayTime(const QString &game, qint64 seconds);
    // As the games started count their plays; a game that ended has its
    // saves backed up where they changed (where the user left that on).
    void started(const QString &game, const QString &emulator) override
    {
        recordPlay(game, QDateTime::currentDateTimeUtc(), emulator);
    }
    void ended(const QString &game, qint64 seconds, const QString &emulator) override;
    // The ROM's key of a file, read as the library reads it: what a change
    // carries the records kept by path over with.
    ContentOf contentOf() const;
    // Backs up the saves of the games at paths that changed since their
    // last backup (all games: every save found), on the executor; done
    // receives how many were made and the failures.
    void backUpSaves(QObject *context, const QStringList &games, const QStringList &emulators,
                     std::function<void(int made, const QStringList &failures)> done);
    // Plays not written yet.
    int waitingPlays() const;
    // Writes the plays waiting now, on this thread, waiting at most waitMs
    // for another program's lock. False when some could not be written.
    bool writeWaitingPlays(int waitMs);

Q_SIGNALS:
    // A change was written: whoever shows the store reads it again.
    void storeChanged();
    // Plays could not be written (reason), and wait for the next try.
    void playsWaiting(int count, const QString &reason);
    // The plays that waited are written.
    void playsWritten();
    // Saves were backed up after a play (count), or could not be.
    void savesBackedUp(int count, const QStringList &failures);

private:
    struct Plays {
        std::mutex mutex;      // held a moment, to add or take plays
        std::mutex writeTurn;  // held while plays are written
        QList<PlayEvent> waiting;
        ContentOf contentOf;
    };
    // Writes the plays waiting now; the text of the failure, or empty.
    static QString writeFrom(Plays &plays, const QString &path, int waitMs, int *left);

    void enqueue(std::function<void()> start);
    void next();
    void writePlays();
    void queuePlay(const PlayEvent &event);

    Catalogue &catalogue_;
    const QString storePath_;
    std::deque<std::function<void()>> queue_;
    bool busy_ = false;
    bool playsQueued_ = false;
    bool playsFailed_ = false;
    std::shared_ptr<Plays> plays_;
    QTimer retry_;
};

}  // namespace vantorix
