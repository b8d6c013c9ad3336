#include "app/GamesFolder.h"

#include "app/FilePath.h"
#include "app/GameListEntry.h"

#include <dirent.h>
#include <sys/stat.h>

namespace vantorix {

GamesFolder::GamesFolder(const QString &directory) : directory_(directory)
{
    const QByteArray path = encodePath(directory.isEmpty() ? QStringLiteral(".") : directory);
    DIR *dir = ::opendir(path.constData());
    if (!dir)
        return;
    exists_ = true;
    const int fd = ::dirfd(dir);
    while (const dirent *entry = ::readdir(dir)) {
        bool file = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat st;
            file = ::fstatat(fd, entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
        }
        if (!file)
            continue;
        const QString name = decodePath(QByteArray(entry->d_name));
        const QString shown = displayPath(name);
        exact_.insert(shown, name);
        folded_.insert(shown.toCaseFolded(), name);
    }
    ::closedir(dir);
}

QString GamesFolder::find(const QString &fileName) const
{
    if (!exists_ || fileName.isEmpty() || fileName.contains(QLatin1Char('/')))
        return QString();
    QString onDisk = exact_.value(fileName);
    if (onDisk.isEmpty())
        onDisk = folded_.value(fileName.toCaseFolded());
    return onDisk.isEmpty() ? QString() : joinRomPath(directory_, onDisk);
}

}  // namespace vantorix
