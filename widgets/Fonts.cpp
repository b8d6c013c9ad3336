#include "widgets/Fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace vantorix {

namespace {

struct Fallback {
    const char *family;
    QStringList standIns;
};

}  // namespace

void installFontFallbacks()
{
    const QStringList installed = QFontDatabase::families();
    const Fallback fallbacks[] = {
        {"Courier New", {"Liberation Mono", "DejaVu Sans Mono", "Noto Mono", "FreeMono", "Monospace"}},
        {"Arial", {"Liberation Sans", "Arimo", "DejaVu Sans", "FreeSans", "Sans Serif"}},
        {"MS Sans Serif", {"Liberation Sans", "DejaVu Sans", "FreeSans", "Sans Serif"}},
        {"Impact", {"Liberation Sans Narrow", "DejaVu Sans Condensed", "Nimbus Sans Narrow",
                    "Liberation Sans", "DejaVu Sans"}},
    };
    for (const Fallback &fallback : fallbacks) {
        const QString family = QString::fromLatin1(fallback.family);
        if (installed.contains(family, Qt::CaseInsensitive))
            continue;
        QStringList available;
        for (const QString &standIn : fallback.standIns) {
            if (installed.contains(standIn, Qt::CaseInsensitive))
                available.append(standIn);
        }
        if (!available.isEmpty())
            QFont::insertSubstitutions(family, available);
    }
}

}  // namespace vantorix
