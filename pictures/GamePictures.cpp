#include "pictures/GamePictures.h"
#include "pictures/PictureFetcher.h"

#include "settings/UserSettings.h"
#include "platform/FilePath.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>

namespace vantorix {

namespace {

const QString kGameBoy = QStringLiteral("Nintendo - Game Boy");
const QString kGameBoyColor = QStringLiteral("Nintendo - Game Boy Color");

bool isWithin(const QString &path, const QString &root)
{
    return path == root || path.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
}

}  // namespace

QString pictureFolderName(PictureKind kind)
{
    switch (kind) {
    case PictureKind::BoxArt:
        return QStringLiteral("Named_Boxarts");
    case PictureKind::TitleScreen:
        return QStringLiteral("Named_Titles");
    case PictureKind::Screenshot:
        break;
    }
    return QStringLiteral("Named_Snaps");
}

QString thumbnailFileName(const QString &name)
{
    QString file = name;
    for (QChar &c : file)
        if (QStringView(u"&*/:`<>?\\|").contains(c))
            c = QLatin1Char('_');
    return file;
}

QStringList thumbnailNames(const QString &romFile, const QString &gameName)
{
    QStringList names;
    const auto add = [&names](const QString &name) {
        const QString file = thumbnailFileName(name.trimmed());
        // "." and ".." name no picture; nothing else can leave its folder,
        // as "/" is replaced.
        if (!file.isEmpty() && file != QLatin1String(".") && file != QLatin1String("..") && !names.contains(file))
            names.append(file);
    };
    QString own = baseName(romFile);
    const qsizetype dot = own.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        own.truncate(dot);
    add(own);
    if (!gameName.isEmpty()) {
        add(gameName);
        const qsizetype tags = gameName.indexOf(QLatin1String(" ("));
        if (tags > 0)
            add(gameName.left(tags));
    }
    return names;
}

PictureQuery pictureQueryOf(const QString &romFile, const QString &gameName, const QString &databaseName,
                            bool colour)
{
    PictureQuery query;
    // The database's own system first; its name may carry more words
    // ("Nintendo - Game Boy Color (Parent-Clone)").
    const bool colourDatabase = databaseName.startsWith(kGameBoyColor);
    const bool monoDatabase = !colourDatabase && databaseName.startsWith(kGameBoy);
    const bool colourFirst = colourDatabase || (!monoDatabase && colour);
    query.systems = colourFirst ? QStringList{kGameBoyColor, kGameBoy} : QStringList{kGameBoy, kGameBoyColor};
    query.names = thumbnailNames(romFile, gameName);
    return query;
}

QString pictureCacheRoot()
{
    return userCacheHome() + QStringLiteral("/vantorix/thumbnails");
}

QStringList pictureRoots()
{
    QStringList roots{userDataHome() + QStringLiteral("/vantorix/thumbnails")};
    const QString retroArch = xdgUserFolder("XDG_CONFIG_HOME", QStringLiteral(".config"))
                              + QStringLiteral("/retroarch/thumbnails");
    if (QFileInfo(retroArch).isDir())
        roots.append(retroArch);
    roots += UserSettings().pictureRoots();
    roots.append(pictureCacheRoot());
    roots.removeDuplicates();
    return roots;
}

QString findPicture(const QStringList &roots, const PictureQuery &query, PictureKind kind)
{
    const QString folder = pictureFolderName(kind);
    for (const QString &root : roots) {
        const QString realRoot = QFileInfo(root).canonicalFilePath();
        if (realRoot.isEmpty())
            continue;
        for (const QString &system : query.systems) {
            for (const QString &name : query.names) {
                const QString path = root + QLatin1Char('/') + system + QLatin1Char('/') + folder + QLatin1Char('/')
                                     + name + QStringLiteral(".png");
                struct stat st;
                // A FIFO or a device would never end a read; a link may
                // lead anywhere, so the file must lie within its root.
                if (::stat(encodePath(path).constData(), &st) != 0 || !S_ISREG(st.st_mode)
                    || st.st_size > kMaxPictureBytes || st.st_size == 0)
                    continue;
                if (isWithin(QFileInfo(path).canonicalFilePath(), realRoot))
                    return path;
            }
        }
    }
    return QString();
}

bool isPictureRoot(const QString &folder)
{
    for (const QString &system : {kGameBoy, kGameBoyColor})
        for (PictureKind kind : {PictureKind::BoxArt, PictureKind::TitleScreen, PictureKind::Screenshot})
            if (QFileInfo(folder + QLatin1Char('/') + system + QLatin1Char('/') + pictureFolderName(kind)).isDir())
                return true;
    return false;
}

QString pictureDownloadLogPath(const QString &cacheRoot)
{
    return cacheRoot + QStringLiteral("/downloads.log");
}

}  // namespace vantorix
