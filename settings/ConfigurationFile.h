#pragma once

#include "settings/Configuration.h"

#include <QByteArray>
#include <QString>

// Configuration files on disk: told from every other file before they are
// taken or written over, and changed by one program at a time.
namespace vantorix {

// Whether bytes are a configuration: its first line is a "## " comment,
// and so are its 5th and 9th lines (the headers every configuration has
// there) where the text reaches them. A Markdown file, a settings file or
// a ROM is none.
bool isConfigurationText(const QByteArray &bytes);

// Whether the file at path begins as a configuration does (its first 64
// KiB, which hold the lines looked at in any configuration); false for
// what cannot be read.
bool beginsAsConfiguration(const QString &path);

// The configuration at path. Throws IoError: NotConfiguration for a file
// that is no configuration, the platform's error when it cannot be read.
Configuration readConfigurationFile(const QString &path);

// Writes config to path, replacing the file there only when it is a
// configuration or empty: any other file is never written over
// (IoError NotConfiguration). Throws IoError.
void writeConfigurationFile(const QString &path, const Configuration &config);

// Held while one configuration is read, changed and written back, so that
// another copy of the program (kelpad --add run twenty times at once, the
// main window) never writes over what this one added. A lock of the
// system's (flock) on a file of the program's own, named after the
// configuration's real path: it ends with the process, so no lock is ever
// left stale.
class ConfigurationLock {
public:
    // Waits at most waitMs for the lock; throws IoError when another
    // program holds it longer. Where no lock file can be made (a read-only
    // home), no lock is held and the change goes on.
    ConfigurationLock(const QString &configPath, int waitMs);
    ~ConfigurationLock();
    ConfigurationLock(const ConfigurationLock &) = delete;
    ConfigurationLock &operator=(const ConfigurationLock &) = delete;

    // Where the lock of the configuration at configPath is taken.
    static QString lockFileOf(const QString &configPath);

private:
    int fd_ = -1;
};

}  // namespace vantorix
