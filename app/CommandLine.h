#pragma once

#include <QString>
#include <QStringList>

namespace vantorix {

struct CommandLine {
    enum Mode { Gui, Help, Version, Scan, UsageError };
    Mode mode = Gui;
    QString configFile;               // Gui: loaded instead of the start-up dialog
    QString scanFolder;               // Scan
    QString mask = QStringLiteral("*.gb");
    QString error;                    // UsageError
};

CommandLine parseCommandLine(const QStringList &arguments);
QString usageText();

}  // namespace vantorix
