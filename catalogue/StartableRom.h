#pragma once

#include <QString>

namespace vantorix {

// Whether the file at path is one an emulator can be started with: a
// regular file, and when it is a zip or 7z archive, one that holds a ROM
// (an entry named .gb, .gbc, .cgb or .sgb, or one that begins as a
// cartridge does). Throws IoError saying why not: not found, a folder, not
// a regular file, no ROM in the archive, a damaged or locked archive.
void checkStartableRom(const QString &path);

}  // namespace vantorix
