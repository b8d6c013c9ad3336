#pragma once

#include <QString>

namespace vantorix {

// Whether the file at path is one an emulator can be started with: a
// regular file, and when it is a zip or 7z archive, one that holds a ROM
// (an entry named .gb, .gbc, .cgb or .sgb, or one that begins as a
// cartridge does). Throws IoError saying why not: not found, a folder, not
// a regular file, no ROM in the archive, a damaged or locked archive.
void checkStartableRom(const QString &path);

// Whether the file at path is a ROM, known by its content as the game list
// knows ROMs: a cartridge image with its logo, or a zip or 7z archive
// holding a ROM. A configuration file (its first line a "## " comment) is
// no ROM, whatever its name; nor is anything that cannot be read.
bool isRomFile(const QString &path);

// Whether a file given to start is started as a ROM rather than loaded as
// a configuration: a ROM's name (.gb, .gbc, .cgb, .sgb, whatever its
// content: an unlicensed cartridge has no logo) or a ROM's content.
bool isStartedAsRom(const QString &path);

}  // namespace vantorix
