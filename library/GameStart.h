#pragma once

#include <QHash>
#include <QObject>
#include <QString>

namespace vantorix {

// Where the plays of started games are counted: a start, then the time it
// ran once the emulator ends.
class PlayCounter {
public:
    virtual ~PlayCounter() = default;
    // emulator: the slot's program text the game was started with.
    virtual void started(const QString &game, const QString &emulator) = 0;
    virtual void ended(const QString &game, qint64 seconds, const QString &emulator) = 0;
};

// Why a game did not start: the text, and the file or emulator text it
// concerns (shown below it), empty when it started.
struct StartFailure {
    QString text;
    QString about;
    bool started() const { return text.isEmpty(); }
};

// The one way a game starts, for every window and the command: the ROM
// checked (a file an emulator can start, an archive holding a ROM), the
// slot's text made a command line, the program found and started without a
// shell in a session of its own, reaped on the event loop when it ends,
// and its play counted: at the start, and the time it ran at its end.
class GameStarter : public QObject {
    Q_OBJECT
public:
    explicit GameStarter(PlayCounter &counter, QObject *parent = nullptr);

    // Starts the ROM at romPath (made absolute here) with the emulator of a
    // slot's text; slot (1 to 3) names the slot in the reason when its text
    // is empty.
    StartFailure start(const QString &romPath, const QString &emulatorText, int slot);
    // Emulators started and not ended yet.
    int running() const { return running_; }
    // Whether the ROM at path (absolute) is being played now.
    bool isRunning(const QString &romPath) const { return runningGames_.contains(romPath); }

Q_SIGNALS:
    void gameEnded(const QString &romPath, qint64 seconds);
    // The last emulator running ended.
    void allEnded();

private:
    PlayCounter &counter_;
    int running_ = 0;
    QHash<QString, int> runningGames_;  // ROM path -> emulators running it
};

}  // namespace vantorix
