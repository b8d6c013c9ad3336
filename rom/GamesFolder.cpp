#include "rom/GamesFolder.h"

#include "platform/FilePath.h"
#include "rom/GameListEntry.h"
#include "platform/IoError.h"
#include "rom/RomFolder.h"

#include <QDir>
#include <QStringList>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>

namespace vantorix {

struct GamesFolder::Listing {
    bool exists = false;
    // Shown name -> name on disk, exactly and case-folded.
    QHash<QString, QString> exactFiles, foldedFiles, exactFolders, foldedFolders;

    static QString lookUp(const QHash<QString, QString> &exact, const QHash<QString, QString> &folded,
                          const QString &name)
    {
        const QString onDisk = exact.value(name);
        return onDisk.isEmpty() ? folded.value(letterCaseKey(name)) : onDisk;
    }
};

GamesFolder::GamesFolder(const QString &directory) : directory_(directory) {}

GamesFolder::~GamesFolder() = default;

const GamesFolder::Listing &GamesFolder::listing(const QString &relativeFolder) const
{
    std::shared_ptr<Listing> &slot = listings_[relativeFolder];
    if (slot)
        return *slot;
    slot = std::make_shared<Listing>();
    std::vector<QByteArray> files;
    std::vector<QByteArray> folders;
    try {
        const QString path = relativeFolder.isEmpty() ? directory_ : joinRomPath(directory_, relativeFolder);
        const RomFolder folder(path.isEmpty() ? QString() : path);
        folder.listFilesAndFolders(&files, &folders);
    } catch (const IoError &) {
        return *slot;  // not there, or cannot be listed or entered
    }
    slot->exists = true;
    const auto add = [](const std::vector<QByteArray> &names, QHash<QString, QString> &exact,
                        QHash<QString, QString> &folded) {
        for (const QByteArray &raw : names) {
            const QString name = decodePath(raw);
            const QString shown = displayPath(name);
            exact.insert(shown, name);
            folded.insert(letterCaseKey(shown), name);
        }
    };
    add(files, slot->exactFiles, slot->foldedFiles);
    add(folders, slot->exactFolders, slot->foldedFolders);
    return *slot;
}

bool GamesFolder::exists() const
{
    return listing(QString()).exists;
}

QString GamesFolder::find(const QString &fileName) const
{
    if (fileName.isEmpty())
        return QString();
    if (fileName.startsWith(QLatin1Char('/'))) {
        // As it stands, when it is there: no folder on the way need be
        // listable then.
        struct stat st;
        const QByteArray exact = encodePath(fileName);
        const QStringList parts = fileName.mid(1).split(QLatin1Char('/'));
        const bool plain = std::none_of(parts.begin(), parts.end(), [](const QString &part) {
            return part.isEmpty() || part == QLatin1String(".") || part == QLatin1String("..");
        });
        if (!plain)
            return QString();
        if (!exact.contains('\0') && ::stat(exact.constData(), &st) == 0 && S_ISREG(st.st_mode))
            return fileName;
        if (directory_ == QLatin1String("/"))
            return find(fileName.mid(1));
        if (!root_)
            root_ = std::make_unique<GamesFolder>(QStringLiteral("/"));
        return root_->find(fileName.mid(1));
    }
    if (fileName.startsWith(QLatin1String("./")))
        return find(fileName.mid(2));  // a name that begins with a blank
    const QStringList parts = fileName.split(QLatin1Char('/'));
    QString relative;  // the folders passed through, as on disk
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString &part = parts.at(i);
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return QString();
        const Listing &here = listing(relative);
        if (!here.exists)
            return QString();
        const bool last = i + 1 == parts.size();
        const QString onDisk = last ? Listing::lookUp(here.exactFiles, here.foldedFiles, part)
                                    : Listing::lookUp(here.exactFolders, here.foldedFolders, part);
        if (onDisk.isEmpty())
            return QString();
        relative = relative.isEmpty() ? onDisk : relative + QLatin1Char('/') + onDisk;
    }
    return joinRomPath(directory_, relative);
}

namespace {

QString resolved(const QString &path)
{
    char buffer[PATH_MAX];
    const QByteArray name = encodePath(path.isEmpty() ? QStringLiteral(".") : path);
    if (name.contains('\0') || !::realpath(name.constData(), buffer))
        return QString();
    return decodePath(QByteArray(buffer));
}

}  // namespace

QString entryPrefixFor(const QString &gamesDirectory, const QString &folder)
{
    const QString listed = resolved(folder);
    const QString games = gamesDirectory.startsWith(QLatin1Char('/')) ? resolved(gamesDirectory) : QString();
    if (listed.isEmpty())
        return QString();
    if (listed == games)
        return QString();
    const QString base = games.endsWith(QLatin1Char('/')) ? games : games + QLatin1Char('/');
    if (games.isEmpty() || !listed.startsWith(base)) {
        // Shown as a person reads it: a saved list keeps text, and the
        // launch finds a name not in UTF-8 by how it is shown.
        const QString path = displayPath(QDir::cleanPath(absolutePath(folder)));
        return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
    }
    // Each folder as entries write names: in capitals, unless its parent
    // holds another folder of that name but for letter case (a twin), when
    // it stays as on disk, so that the launch finds exactly this one.
    QString prefix;
    QString parent = games;
    for (const QString &part : listed.mid(base.size()).split(QLatin1Char('/'))) {
        std::vector<QByteArray> files;
        std::vector<QByteArray> folders;
        try {
            RomFolder(parent).listFilesAndFolders(&files, &folders);
        } catch (const IoError &) {
        }
        prefix += FolderEntryParts(folders).partOf(encodePath(part));
        parent += QLatin1Char('/') + part;
    }
    return prefix;
}

}  // namespace vantorix
