#include "catalogue/FileListing.h"

#include "app/IoError.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <dirent.h>

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

void checkFolderListable(const QString &folder)
{
    const QByteArray name = QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder);
    DIR *dir = ::opendir(name.constData());
    if (!dir)
        throw IoError::fromErrno(errno);
    ::closedir(dir);
}

QStringList listMatchingFiles(const QString &folder, const QString &mask)
{
    checkFolderListable(folder);
    QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    dir.setNameFilters(maskPatterns(mask));
    dir.setFilter(QDir::Files);  // no hidden files, no system files
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    return dir.entryList();
}

}  // namespace vantorix
