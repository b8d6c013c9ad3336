#include "app/ShownText.h"

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

}  // namespace vantorix
