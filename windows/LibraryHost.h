#pragma once

#include <QString>
#include <QStringList>

// What the library window asks of the window that made it: to start a game
// and to add games to the game list. The library knows nothing else of it.
class LibraryHost {
public:
    virtual ~LibraryHost() = default;

    // Starts the game at path (absolute) with the emulator of slot 1, 2 or
    // 3, or with the checked one (slot 0); says why where it cannot.
    // True when it started.
    virtual bool playGame(const QString &path, int slot) = 0;
    // The program text of slot 1, 2 or 3 (empty where none is set).
    virtual QString emulatorOfSlot(int slot) const = 0;
    // Whether the game at path (absolute) is being played now.
    virtual bool isGameRunning(const QString &path) const = 0;
    // Adds the games at paths to the game list, as the ROMS reader names
    // them: read off the window's thread, the list's limit and the games
    // already in it said.
    virtual void addGamesToList(const QStringList &paths) = 0;
    // Ends the program, as the main window's Quit does (asking first to
    // save what is not saved).
    virtual void quitProgram() = 0;
};
