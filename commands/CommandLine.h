#pragma once

#include <QString>
#include <QStringList>

namespace vantorix {

class Catalogue;

struct CommandLine {
    enum Mode { Gui, Help, Version, Scan, Info, Add, LibraryAdd, LibraryRemove, LibraryList, LibraryMissing,
                LibrarySaves, BackupSaves, GetNames, UsageError };
    Mode mode = Gui;
    QString configFile;               // Gui: loaded instead of the start-up dialog
    QString scanFolder;               // Scan
    QString mask = QStringLiteral("*.gb;*.gbc;*.cgb;*.sgb;*.zip;*.7z");  // Scan: every ROM, as the reader
    bool subfolders = false;          // Scan: the subfolders of scanFolder too
    bool names = false;               // Scan: titles from the game databases
    bool downloadPictures = false;    // Info: download the pictures missing
    QStringList datFiles;             // --dat: game databases asked first
    QStringList infoFiles;            // Info
    QStringList addFiles;             // Add: ROMs for the last configuration's list
    QStringList libraryFolders;       // LibraryAdd, LibraryRemove
    bool library = false;             // Gui: the library window too (--library)
    QString database;                 // LibraryMissing: the one database audited (all: empty)
    QStringList startFiles;           // Gui: the files given (see sortStartFiles)
    QStringList romFiles;             // Gui: ROMs to start without the window
    QString error;                    // UsageError
};

// The program's arguments as texts. File names are bytes: each argument is
// decoded so that its bytes come back when it is encoded again.
QStringList rawArguments(int argc, char **argv);

// The arguments (the program's name first). The toolkit's own options
// (-style NAME, ...) are accepted and left to the window program's
// toolkit. "--" ends the options: what follows is a file name.
CommandLine parseCommandLine(const QStringList &arguments);

QString usageText();

// Sorts a start's files by their content: ROMs go to romFiles, to be
// started with the last configuration's emulator; one configuration goes to
// configFile. Several files that are not all ROMs are a usage error.
void sortStartFiles(CommandLine &line);

// Runs what needs no window (help, version, usage errors, --scan, --info)
// with the catalogue main() made, and returns the exit status; stdout and
// stderr take what it prints.
int runWithoutWindow(const CommandLine &line, Catalogue &catalogue);

// The program that shows the windows: the command hands every other
// request over to it, so that the command itself never loads the
// libraries of the windows. Found beside the command (a build) or at its
// installed place relative to it, whether it can run or not; empty when
// neither is there.
QByteArray windowProgramPath();

// The folder of the command, which the installed files and the
// configuration beside the program are found relative to: the running
// program's own, or the command's when this is the installed window
// program.
QString commandFolder();

}  // namespace vantorix
