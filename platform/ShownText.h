#pragma once

#include <QString>

namespace vantorix {

// Text shortened for display only: at most limit characters, the cut
// marked with "…". What is stored keeps the whole text.
QString shownText(const QString &text, int limit);

// Control characters, and the marks that reorder text (a right-to-left
// override makes "X<RLO>BG.EXE.GB" read as another name) or split lines
// for a reader that honours Unicode's separators: what no name may bring
// into a line shown or printed.
bool isUnsafeCharacter(QChar c);
// line with every such character replaced by "?".
QString withoutControlCharacters(const QString &line);

// Laying out a text of megabytes freezes a window for seconds. Captions are
// shown cut to kShownCaptionLength characters (no label is wider than that
// many); an edit holding more than kShownEditLength characters (more than
// any path can have) shows it cut, read-only, with a tool-tip saying so.
constexpr int kShownCaptionLength = 1000;
constexpr int kShownPathLength = 4096;  // a path, in a tool-tip or a box
constexpr int kShownNameLength = 200;   // a game's name from a database
constexpr int kShownEditLength = 4096;

// The version as the windows show it ("2.5"): the build's one version
// number (the project's, which the package carries too) without its last
// part.
inline QString shownVersion()
{
    return QStringLiteral(VANTORIX_VERSION).section(QLatin1Char('.'), 0, 1);
}

}  // namespace vantorix
