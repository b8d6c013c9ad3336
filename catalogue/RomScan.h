#pragma once

#include <QString>

#include <cstdio>

namespace vantorix {

// Prints the game list entry of every matching plain file of folder, one per
// line, UTF-8, in the ROMS reader's order. A file that cannot be read is
// reported on err as "name: text" and the scan goes on.
// Returns 0, 1 when any file failed, 2 when the folder cannot be listed.
int scanFolder(const QString &folder, const QString &mask, FILE *out, FILE *err);

}  // namespace vantorix
