#include "library/GameStart.h"

#include "names/StartableRom.h"
#include "settings/EmulatorCommand.h"
#include "platform/FilePath.h"
#include "platform/IoError.h"
#include "platform/ProgramStart.h"
#include "platform/ShownText.h"

#include <QCoreApplication>
#include <QPointer>

namespace vantorix {

GameStarter::GameStarter(PlayCounter &counter, QObject *parent) : QObject(parent), counter_(counter) {}

StartFailure GameStarter::start(const QString &romPath, const QString &emulatorText, int slot)
{
    // The emulator gets an absolute path: a ROM named "-o.gb" must never
    // reach it as an option.
    const QString rom = absolutePath(romPath);
    if (emulatorText.isEmpty())
        return {QCoreApplication::translate("GameStart", "No emulator is set in slot %1").arg(slot), QString()};
    try {
        checkStartableRom(rom);
    } catch (const IoError &error) {
        if (error.code() == IoError::FileNotFound)
            return {QCoreApplication::translate("GameStart", "File not found: ")
                        + shownText(displayPath(rom), kShownPathLength),
                    QString()};
        return {error.text(), rom};
    }
    EmulatorCommand command;
    const auto isExecutable = [](const QString &text) { return !findExecutable(text).isEmpty(); };
    if (!emulatorCommand(emulatorText, rom, isExecutable, &command))
        return {QCoreApplication::translate("GameStart", "The emulator's command line has a quote that is not closed"),
                emulatorText};
    QPointer<GameStarter> self(this);
    PlayCounter *counter = &counter_;
    const QString failure = spawnProgram(command.program, command.arguments, [self, counter, rom, emulatorText](qint64 ranMs) {
        if (!self)
            return;
        const qint64 seconds = (ranMs + 500) / 1000;
        if (--self->runningGames_[rom] <= 0)
            self->runningGames_.remove(rom);
        counter->ended(rom, seconds, emulatorText);
        Q_EMIT self->gameEnded(rom, seconds);
        if (--self->running_ == 0)
            Q_EMIT self->allEnded();
    });
    if (!failure.isEmpty())
        return {failure, QString()};
    ++running_;
    ++runningGames_[rom];
    counter_.started(rom, emulatorText);
    return {};
}

}  // namespace vantorix
