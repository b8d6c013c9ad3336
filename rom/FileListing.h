#pragma once

#include <QString>
#include <QStringList>

namespace vantorix {

// The patterns of a mask such as "*.gb" or "*.gb;*.gbc". "*.*" stands for
// every file, as it always has on the program's original platform.
QStringList maskPatterns(const QString &mask);

// The plain files of folder whose names match mask, letter case ignored;
// hidden files (names that begin with a dot), folders, devices, FIFOs and
// sockets left out; sorted alphabetically without regard to letter case.
// Names as path texts (see decodePath). Throws IoError when the folder
// cannot be listed or entered.
QStringList listMatchingFiles(const QString &folder, const QString &mask);

// Throws IoError when folder cannot be listed, or listed but not entered.
void checkFolderEnterable(const QString &folder);

}  // namespace vantorix
