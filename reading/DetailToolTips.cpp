#include "reading/DetailToolTips.h"

#include "platform/FilePath.h"
#include "names/CartridgeDetails.h"
#include "reading/Catalogue.h"
#include "platform/IoError.h"
#include "platform/ShownText.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <algorithm>
#include <sys/stat.h>

namespace vantorix {

PictureQuery pictureQueryOf(const QString &path, const CartridgeDetails &details, const GameDatabase &databases)
{
    const KnownGame *game = databases.find(details.key);
    return pictureQueryOf(path, game ? game->name : QString(), game ? databases.databaseText(game->database) : QString(),
                          details.colour != QLatin1String("none"));
}

DetailToolTip detailToolTipWithPicture(const QString &path, const GameDatabase &databases)
{
    DetailToolTip tip;
    const QString shown = shownText(displayPath(path), kShownPathLength);
    CartridgeDetails details;
    try {
        details = readCartridgeDetails(path);
    } catch (const IoError &error) {
        tip.text = shown + QStringLiteral(": ") + error.text();
        return tip;
    }
    tip.text = detailToolTip(details, shown, &databases);
    const PictureQuery query = pictureQueryOf(path, details, databases);
    const QStringList roots = pictureRoots();
    tip.picture = findPicture(roots, query, PictureKind::BoxArt);
    if (tip.picture.isEmpty())
        tip.picture = findPicture(roots, query, PictureKind::TitleScreen);
    if (tip.picture.isEmpty() && databases.find(details.key))
        tip.downloadable = query;
    return tip;
}

std::optional<DetailToolTip> DetailToolTips::cached(const QString &path)
{
    const Known *found = known_.object(path);
    if (!found)
        return std::nullopt;
    // Shown as it was read. Whether the file changed since is asked off
    // this thread (a drive may keep a stat waiting): a changed file is read
    // again the next time.
    catalogue_.runThenHandBack(
        &catalogue_, [path] { return FileStamp::of(path); },
        [this, path, stamp = found->stamp](const FileStamp &now) {
            const Known *known = known_.object(path);
            if (!(now == stamp) && known && known->stamp == stamp)
                known_.remove(path);
        });
    return found->tip;
}

void DetailToolTips::request(const QString &path, QObject *context, std::function<void(const DetailToolTip &)> ready)
{
    if (!reading_.add(path, context, std::move(ready)))
        return;
    // Handed back through the catalogue, on its thread: once it is gone (it
    // waits for its tasks first), nothing comes back to a tool-tip cache
    // that is gone with it.
    catalogue_.runThenHandBack(
        &catalogue_,
        [this, path] {
            Known known;
            // Taken before the read: a file changed meanwhile is read again.
            known.stamp = FileStamp::of(path);
            try {
                known.tip = detailToolTipWithPicture(path, catalogue_.databases()->database);
            } catch (...) {
                known.stamp.size = -1;  // no memory for it: not kept
                known.tip.text = displayPath(path);
            }
            return known;
        },
        [this, path, generation = generation_](const Known &known) { finish(path, known, generation); });
}

void DetailToolTips::clear()
{
    known_.clear();
    ++generation_;
}

void DetailToolTips::finish(const QString &path, const Known &known, quint64 generation)
{
    if (known.stamp.size >= 0 && generation == generation_)
        known_.insert(path, new Known(known));
    reading_.finish(path, known.tip);
}

}  // namespace vantorix
