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

}  // namespace vantorix
