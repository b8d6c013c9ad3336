#include "app/GamesFolder.h"

#include "app/FilePath.h"
#include "app/GameListEntry.h"
#include "app/IoError.h"
#include "catalogue/RomFolder.h"

namespace vantorix {

GamesFolder::GamesFolder(const QString &directory) : directory_(directory)
{
    std::vector<QByteArray> files;
    try {
        files = RomFolder(directory).plainFiles();
    } catch (const IoError &) {
        return;  // not there, or cannot be listed or entered
    }
    exists_ = true;
    for (const QByteArray &file : files) {
        const QString name = decodePath(file);
        const QString shown = displayPath(name);
        exact_.insert(shown, name);
        folded_.insert(shown.toCaseFolded(), name);
    }
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
