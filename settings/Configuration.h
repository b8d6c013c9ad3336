#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>

// The configuration file: 59 fixed lines (comments, blank lines and values
// whose meaning is their line number), then one game list entry per line.
namespace vantorix {

constexpr int kSlotCount = 3;
constexpr int kInfoLinesPerSlot = 9;
constexpr int kInfoLineCount = kSlotCount * kInfoLinesPerSlot;
constexpr int kFixedLineCount = 59;
constexpr int kPlaylistLimit = 680;
constexpr int kInterfaceNameCapacity = 11;

struct Configuration {
    QString interfaceName;
    QString gamesDirectory;
    std::array<QString, kSlotCount> executables;
    std::array<QString, kSlotCount> displayNames;
    std::array<QString, kInfoLineCount> infoLines;
    QStringList gameList;
    // Entry lines of the file beyond the list's limit: read, not taken.
    int entriesLeftOut = 0;

    bool operator==(const Configuration &other) const;
    bool operator!=(const Configuration &other) const { return !(*this == other); }
};

// The first 11 characters (never half a surrogate pair).
QString truncatedInterfaceName(const QString &line);

// Reads a whole configuration. A short file is no error: missing lines read
// as empty. At most 680 entry lines are taken; the others are counted.
Configuration parseConfiguration(const QByteArray &bytes);

// The user's folder for the program: $XDG_CONFIG_HOME/vantorix, or
// ~/.config/vantorix. Empty when no home folder can be found.
QString userConfigurationFolder();

// Where the configuration dialogs open: the program's folder when it is no
// installed copy (no ../share/vantorix beside it) and the user can write
// there (a program run from its build or unpacked folder), else
// the user's folder for the program, which is not created here (a save
// creates it), or the current folder where a file stands in its place.
QString configurationFolder(const QString &programFolder);

// The file's lines, CR LF ended, UTF-8.
QByteArray serializeConfiguration(const Configuration &config);

}  // namespace vantorix
