#include "library/LibraryChanges.h"

#include "library/GameSaves.h"
#include "library/LibraryScan.h"
#include "reading/Catalogue.h"
#include "settings/UserSettings.h"
#include "platform/FilePath.h"
#include "platform/IoError.h"

#include <QCoreApplication>

#include <cstdio>

#include <exception>

namespace vantorix {

namespace {

// What a task on the executor threw, as the text the user is shown: no
// exception ever leaves it.
template <typename Work>
QString failureOf(Work &&work)
{
    try {
        work();
        return QString();
    } catch (const IoError &error) {
        return error.text();
    } catch (const std::exception &error) {
        return QString::fromLocal8Bit(error.what());
    }
}

}  // namespace

LibraryChanges::LibraryChanges(Catalogue &catalogue, const QString &storePath, QObject *parent)
    : QObject(parent), catalogue_(catalogue), storePath_(storePath), plays_(std::make_shared<Plays>())
{
    plays_->contentOf = contentOf();
    retry_.setSingleShot(true);
    retry_.setInterval(kRetryMs);
    connect(&retry_, &QTimer::timeout, this, [this] { writePlays(); });
}

LibraryChanges::~LibraryChanges()
{
    if (writeWaitingPlays(1000))
        return;
    // The end of the run, with no window left to say it in.
    const QString text = QCoreApplication::translate("LibraryChanges", "%1: %n play(s) could not be counted", nullptr,
                                                     waitingPlays())
                             .arg(displayPath(storePath_));
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

void LibraryChanges::enqueue(std::function<void()> start)
{
    queue_.push_back(std::move(start));
    if (!busy_)
        next();
}

void LibraryChanges::next()
{
    if (queue_.empty()) {
        busy_ = false;
        return;
    }
    busy_ = true;
    const std::function<void()> start = std::move(queue_.front());
    queue_.pop_front();
    start();
}

void LibraryChanges::change(QObject *context, std::function<void(const QString &)> edit,
                            std::function<void(const QString &)> done)
{
    QPointer<QObject> alive(context);
    enqueue([this, alive, edit = std::move(edit), done = std::move(done)] {
        const QString path = storePath_;
        catalogue_.runThenHandBack(
            this, [edit, path] { return failureOf([&] { edit(path); }); },
            [this, alive, done](const QString &failure) {
                if (failure.isEmpty())
                    Q_EMIT storeChanged();
                if (alive && done)
                    done(failure);
                next();
            });
    });
}

void LibraryChanges::read(QObject *context, std::function<void(const LibraryStore &)> done)
{
    QPointer<QObject> alive(context);
    enqueue([this, alive, done = std::move(done)] {
        const QString path = storePath_;
        catalogue_.runThenHandBack(
            this,
            [path] {
                LibraryStore store = LibraryStore::read(path);
                store.mergeSpellings();
                return store;
            },
            [this, alive, done](const LibraryStore &store) {
                if (alive)
                    done(store);
                next();
            });
    });
}

ContentOf LibraryChanges::contentOf() const
{
    Catalogue *catalogue = &catalogue_;
    return [catalogue](const QString &path) {
        const std::optional<LibraryGame> game = readLibraryGame(path, *catalogue, 0);
        return game ? game->content() : RomKey();
    };
}

void LibraryChanges::recordPlay(const QString &game, const QDateTime &when, const QString &emulator)
{
    queuePlay({game, when, -1, RomKey(), emulator});
}

void LibraryChanges::recordPlayTime(const QString &game, qint64 seconds)
{
    queuePlay({game, QDateTime::currentDateTimeUtc(), qMax<qint64>(0, seconds), RomKey(), QString()});
}

void LibraryChanges::ended(const QString &game, qint64 seconds, const QString &emulator)
{
    recordPlayTime(game, seconds);
    if (!UserSettings().backUpSaves())
        return;
    backUpSaves(this, {game}, {emulator}, [this](int made, const QStringList &failures) {
        if (made > 0 || !failures.isEmpty())
            Q_EMIT savesBackedUp(made, failures);
    });
}

void LibraryChanges::backUpSaves(QObject *context, const QStringList &games, const QStringList &emulators,
                                 std::function<void(int, const QStringList &)> done)
{
    struct Outcome {
        int made = 0;
        QStringList failures;
    };
    Catalogue *catalogue = &catalogue_;
    const QString path = storePath_;
    catalogue_.runThenHandBack(
        context,
        [catalogue, games, emulators, path] {
            Outcome outcome;
            const FoundSaves found = findSaves(games, SaveFolders::ofUser());
            const LibraryStore store = LibraryStore::read(path);
            for (qsizetype i = 0; i < games.size(); ++i) {
                const QList<SaveFile> saves = found.value(games.at(i));
                if (saves.isEmpty())
                    continue;
                const std::optional<LibraryGame> game = readLibraryGame(games.at(i), *catalogue, 0);
                const QString name = game ? game->name : baseName(games.at(i));
                QString emulator = i < emulators.size() ? emulators.at(i) : QString();
                if (emulator.isEmpty() && game)
                    emulator = store.emulatorOf(game->content());
                for (const SaveFile &save : saves) {
                    const QString failure = failureOf([&] {
                        if (!backUpSave(save, name, emulatorLabel(emulator, save)).isEmpty())
                            ++outcome.made;
                    });
                    if (!failure.isEmpty())
                        outcome.failures.append(displayPath(save.path) + QStringLiteral(": ") + failure);
                }
            }
            return outcome;
        },
        [done](const Outcome &outcome) { done(outcome.made, outcome.failures); });
}

void LibraryChanges::queuePlay(const PlayEvent &event)
{
    {
        const std::lock_guard<std::mutex> lock(plays_->mutex);
        plays_->waiting.append(event);
    }
    if (!playsQueued_)
        writePlays();
}

int LibraryChanges::waitingPlays() const
{
    const std::lock_guard<std::mutex> lock(plays_->mutex);
    return int(plays_->waiting.size());
}

void LibraryChanges::writePlays()
{
    playsQueued_ = true;
    retry_.stop();
    enqueue([this] {
        const std::shared_ptr<Plays> plays = plays_;
        const QString path = storePath_;
        struct Outcome {
            QString failure;
            int left = 0;
        };
        catalogue_.runThenHandBack(
            this,
            [plays, path] {
                Outcome outcome;
                outcome.failure = writeFrom(*plays, path, LibraryStore::kLockWaitMs, &outcome.left);
                return outcome;
            },
            [this](const Outcome &outcome) {
                playsQueued_ = false;
                if (outcome.failure.isEmpty()) {
                    Q_EMIT storeChanged();
                    if (std::exchange(playsFailed_, false))
                        Q_EMIT playsWritten();
                } else {
                    playsFailed_ = true;
                    Q_EMIT playsWaiting(outcome.left, outcome.failure);
                    retry_.start();
                }
                next();
            });
    });
}

QString LibraryChanges::writeFrom(Plays &plays, const QString &path, int waitMs, int *left)
{
    // The plays taken leave the queue only once they are written, so that
    // a run ending meanwhile writes them itself; one writer at a time.
    const std::lock_guard<std::mutex> turn(plays.writeTurn);
    QList<PlayEvent> taken;
    {
        const std::lock_guard<std::mutex> lock(plays.mutex);
        taken = plays.waiting;
    }
    // Kept by the game's content: each file read once a write.
    QHash<QString, RomKey> contents;
    QList<PlayEvent> keyed = taken;
    for (PlayEvent &event : keyed) {
        if (event.content.isValid() || !plays.contentOf)
            continue;
        auto found = contents.find(event.game);
        if (found == contents.end())
            found = contents.insert(event.game, plays.contentOf(event.game));
        event.content = *found;
    }
    const QString failure = taken.isEmpty()
                                ? QString()
                                : failureOf([&] { LibraryStore::recordPlays(keyed, path, waitMs, plays.contentOf); });
    const std::lock_guard<std::mutex> lock(plays.mutex);
    if (failure.isEmpty())
        plays.waiting.remove(0, taken.size());
    *left = int(plays.waiting.size());
    return failure;
}

bool LibraryChanges::writeWaitingPlays(int waitMs)
{
    int left = 0;
    return writeFrom(*plays_, storePath_, waitMs, &left).isEmpty() && left == 0;
}

}  // namespace vantorix
