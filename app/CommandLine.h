#pragma once

#include <QString>
#include <QStringList>

namespace vantorix {

struct CommandLine {
    enum Mode { Gui, Help, Version, Scan, Info, UsageError };
    Mode mode = Gui;
    QString configFile;               // Gui: loaded instead of the start-up dialog
    QString scanFolder;               // Scan
    QString mask = QStringLiteral("*.gb");
    QStringList infoFiles;            // Info
    QString error;                    // UsageError
};

// The arguments (the program's name first) after the toolkit has taken its
// own options. "--" ends the options: what follows is a file name.
CommandLine parseCommandLine(const QStringList &arguments);

// Whether the arguments ask for something that needs no window (help,
// version, --scan, --info), so that no display is opened.
bool wantsNoWindow(const QStringList &arguments);

QString usageText();

}  // namespace vantorix
