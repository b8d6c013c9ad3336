#include "rom/FileListing.h"

#include "platform/FilePath.h"
#include "rom/RomFolder.h"

namespace vantorix {

QStringList maskPatterns(const QString &mask)
{
    QStringList patterns;
    for (const QString &part : mask.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString pattern = part.trimmed();
        if (pattern.isEmpty())
            continue;
        patterns.append(pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern);
    }
    if (patterns.isEmpty())
        patterns.append(QStringLiteral("*"));
    return patterns;
}

void checkFolderEnterable(const QString &folder)
{
    RomFolder opened(folder);
}

QStringList listMatchingFiles(const QString &folder, const QString &mask)
{
    QStringList names;
    for (const QByteArray &name : RomFolder(folder).matchingFiles(mask))
        names.append(decodePath(name));
    return names;
}

}  // namespace vantorix
