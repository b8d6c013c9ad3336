#include "platform/ShownText.h"

#include <algorithm>

namespace vantorix {

QString shownText(const QString &text, int limit)
{
    if (text.size() <= limit)
        return text;
    qsizetype cut = limit;
    if (text.at(cut - 1).isHighSurrogate())
        --cut;
    return text.left(cut) + QChar(0x2026);
}

bool isUnsafeCharacter(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= 0x20 && u < 0x7F)  // nearly every character
        return false;
    return u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0) || u == 0x061C || u == 0x200E || u == 0x200F
           || (u >= 0x2028 && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
}

QString withoutControlCharacters(const QString &line)
{
    // Control characters, and the marks that reorder text (a right-to-left
    // override makes "X<RLO>BG.EXE.GB" read as another name) or split lines
    // for a reader that honours Unicode's separators.
    if (std::none_of(line.cbegin(), line.cend(), isUnsafeCharacter))
        return line;  // shared, not copied
    QString safe = line;
    std::replace_if(safe.begin(), safe.end(), isUnsafeCharacter, QLatin1Char('?'));
    return safe;
}

}  // namespace vantorix
