#pragma once

#include <QString>

namespace vantorix {

// Where the name of the configuration last loaded or saved is kept between
// runs: $XDG_STATE_HOME/vantorix/last-configuration (~/.local/state when
// it is not set or not absolute).
QString lastConfigurationRecord();

// The configuration last loaded or saved, when it still exists; else empty.
QString lastConfigurationFile();

// Remembers path as the configuration last loaded or saved. A record that
// cannot be written is no error: the next start proposes nothing.
void rememberLastConfiguration(const QString &path);

// The configuration a start without a dialog uses: the one last loaded or
// saved, else the first start's user.cfg in the user's folder for the
// program; empty when there is neither.
QString startConfigurationFile();

// The ROM last started from outside the main window (a file manager's
// double click), which the next start of the main window selects; empty
// when none is recorded. Kept beside the configuration's record.
QString lastPlayedRom();
void rememberLastPlayedRom(const QString &path);
void forgetLastPlayedRom();

}  // namespace vantorix
