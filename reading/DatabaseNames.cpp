#include "reading/DatabaseNames.h"

#include "rom/GameListEntry.h"
#include "reading/Catalogue.h"
#include "reading/GameNaming.h"
#include "rom/HeadReader.h"
#include "rom/RomFolder.h"
#include "platform/FilePath.h"

#include <map>
#include <vector>

namespace vantorix {

QHash<QString, QString> databaseNamesOfFiles(Catalogue &catalogue, const QStringList &paths, int cacheWaitMs,
                                             const std::function<bool()> &cancelled)
{
    // By folder: the cache keeps a folder's keys in one row, and the
    // reader reads one folder's files at once.
    std::map<QString, std::vector<QString>> byFolder;
    for (const QString &path : paths) {
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        if (slash >= 0 && slash + 1 < path.size())
            byFolder[path.left(qMax<qsizetype>(slash, 1))].push_back(path);
    }
    QHash<QString, QString> names;
    for (const auto &[folder, files] : byFolder) {
        if (cancelled && cancelled())
            break;
        try {
            const RomFolder opened(folder);
            GameNaming naming(catalogue, opened.fd(), cacheWaitMs);
            std::vector<QByteArray> fileNames;
            fileNames.reserve(files.size());
            for (const QString &file : files)
                fileNames.push_back(encodePath(baseName(file)));
            HeadReader reader(opened.fd(), fileNames, &catalogue.executor(), HeadReader::defaultThreads(),
                              naming.knownKeys());
            for (size_t i = 0; i < files.size() && !(cancelled && cancelled()); ++i) {
                const HeadResult read = reader.take(i);
                if (!read.regular || read.error)
                    continue;
                if (const KnownGame *game = naming.gameOf(read))
                    names.insert(files[i], game->name);
            }
            // The keys are not written back: these files are a part of
            // their folder only, and the others would count as gone.
        } catch (const IoError &) {
            // A folder that cannot be opened names nothing; its entries
            // keep their titles.
        }
    }
    return names;
}

QString entryNamedAs(const QString &entry, const QString &gameName)
{
    return composeEntry(entryTitleOfGame(gameName), romFileName(entry));
}

}  // namespace vantorix
