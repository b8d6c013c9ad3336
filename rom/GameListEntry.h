#pragma once

#include <QByteArrayView>
#include <QString>

// The game list entry: title left-aligned in 40 columns, "(", the ROM file
// name right-aligned in 11 columns, ")". The entry text is the whole record;
// everything is found by column position.
namespace vantorix {

constexpr int kTitleWidth = 40;
constexpr int kNameWidth = 11;
constexpr int kEntryLength = kTitleWidth + 1 + kNameWidth + 1;  // 53

// The entry whose file name is this asks the user for a ROM at launch.
inline QString userSelectionName() { return QStringLiteral("USER.GB"); }

// The ROM key: the 11 characters before the entry's last one, spaces removed,
// padded with trailing spaces to 11. A text shorter than 11 characters gives
// its whole text, compacted the same way.
QString ExtractRomKey(const QString &entry);

// The file name an entry stands for: the whole file-name field (column 42 up
// to the character before the last), without the padding spaces at its left
// and with its inner spaces. After a title longer than 40 columns (a game's
// name from the databases) the field starts after the no-break space and
// "(" that end the title. Texts shorter than a full entry give the
// characters the key is copied from, without padding.
QString romFileName(const QString &entry);

bool isUserSelection(const QString &entry);

// What the main window's selection line shows for a chosen entry.
QString selectionLine(const QString &entry);

// Upper case letter by letter: a letter whose capital is more than one
// letter (ß, the ligature ﬁ) stays as it is, so a name keeps its length.
QString upperCaseLetterwise(const QString &text);

// What names that differ only in letter case share: through the capitals
// entries are written in, so that "kırmızı" and its entry "KIRMIZI" meet
// whatever the locale, as case folding alone would not make them (the
// dotless ı folds to itself).
QString letterCaseKey(const QString &name);

// An entry of nothing but spaces stands for no game, as an empty one does.
bool isBlankEntry(const QString &entry);

// Whether an entry's title or file name holds text, ignoring letter case.
bool entryMatches(const QString &entry, const QString &text);

// Title padded to 40 columns, "(", the name right-aligned in 11, ")". A
// longer title is written whole and ends at a no-break space; a name that
// begins with a blank is written as "./" and the name. Whatever the title
// and the name hold, romFileName gives the name back.
QString composeEntry(const QString &title, const QString &fileName);
// The title of a ROM whose header holds none and that no database knows:
// its file's name without the folders and the extension ("04-sweep.gb"
// gives "04-sweep"), so that two such games can be told apart.
QString namelessRomTitle(const QString &fileName);
// The same appended to out, for a title and a file name in ASCII.
void appendComposedEntry(QByteArray &out, QByteArrayView title, QByteArrayView fileName);

// The games directory joined with a file name by exactly one "/"; an
// absolute file name stands by itself.
QString joinRomPath(const QString &gamesDirectory, const QString &fileName);

// The file an entry's name (a name, or a path below the games directory)
// stands for, found as GamesFolder finds it: each part as written if it
// exists, else one that differs only in letter case. Without such a file,
// the directory and the name joined.
QString resolveRomPath(const QString &gamesDirectory, const QString &fileName);

}  // namespace vantorix
