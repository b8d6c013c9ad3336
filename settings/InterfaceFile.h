#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>

// The interface file: 4 free lines, 18 texts by position (lines 5 to 22),
// then the playlist editor's help lines, every line used exactly as read.
namespace vantorix {

constexpr int kInterfaceHeaderLines = 4;
constexpr int kInterfaceTextCount = 18;

struct InterfaceTexts {
    enum Line {
        SelectGame,        // line 5: main window Label2
        Launch,            // 6: Label8
        SelectionLine,     // 7: Label3
        GamesDirectory,    // 8: Label5
        Emulators,         // 9: GroupBox2
        Info,              // 10: Label7 and the Info window's title
        SaveHint,          // 11: Button3
        LoadHint,          // 12: Button4
        PlaylistHint,      // 13: Button5
        ExitHint,          // 14: Label6
        PlaylistTitle,     // 15: the playlist editor's title
        AvailableGames,    // 16: editor Label1
        YourPlaylist,      // 17: editor Label2
        Add,               // 18: editor Label7
        AddAll,            // 19: editor Label8
        Remove,            // 20: editor Label9
        RemoveAll,         // 21: editor Label10
        Import,            // 22: editor Label11
    };

    std::array<QString, kInterfaceTextCount> texts;
    QStringList helpLines;

    const QString &text(Line line) const { return texts[line]; }
};

InterfaceTexts parseInterfaceFile(const QByteArray &bytes);

// Where a bare interface name is looked for, in order: the current folder,
// the folder of the configuration being loaded, the program's folder, then
// the installed data folder beside it (../share/vantorix). A name
// with a folder part is used as it stands. Empty when no such file exists.
QString locateInterfaceFile(const QString &name, const QString &configFolder,
                            const QString &programFolder);

}  // namespace vantorix
