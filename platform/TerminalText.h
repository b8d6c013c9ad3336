#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>

namespace vantorix {

// text in the character set of the user's locale (LC_CTYPE), as a
// terminal set to it shows it: a Latin-1 terminal gets Latin-1, and a
// character it lacks comes out as its nearest stand-in or "?".
QByteArray terminalText(const QString &text);

// Writes "kelpad: " and text, and a line end, for a person to read.
void printMessage(FILE *out, const QString &text);

}  // namespace vantorix
