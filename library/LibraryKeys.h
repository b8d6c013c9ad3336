#pragma once

#include "library/LibraryScan.h"

#include <QByteArray>
#include <QString>

namespace vantorix {

// What the library's filter and sort compare, made once a game.

// The name folded and with its numbers padded ("game 0000000010"), so that
// "Game 2" sorts before "Game 10" whatever the letter case. As UTF-8
// bytes: half the memory of text, and compared as bytes.
QByteArray naturalKey(const QString &text);
// The text a filter looks for, as the keys hold it.
QByteArray foldedKey(const QString &text);
// Makes the game's keys where it has none (see LibraryGame).
void prepareKeys(LibraryGame &game);

}  // namespace vantorix
