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
    const KnownGame *game = databases.find(details.key);
    const PictureQuery query = pictureQueryOf(path, game ? game->name : QString(),
                                              game ? databases.databaseText(game->database) : QString(),
                                              details.colour != QLatin1String("none"));
    const QStringList roots = pictureRoots();
    tip.picture = findPicture(roots, query, PictureKind::BoxArt);
    if (tip.picture.isEmpty())
        tip.picture = findPicture(roots, query, PictureKind::TitleScreen);
    if (tip.picture.isEmpty() && game)
        tip.downloadable = query;
    return tip;
}

std::optional<DetailToolTip> DetailToolTips::cached(const QString &path)
{
    const auto found = known_.constFind(path);
    if (found == known_.constEnd() || found->stamp.size < 0 || !(found->stamp == FileStamp::of(path)))
        return std::nullopt;
    recent_.splice(recent_.begin(), recent_, std::find(recent_.begin(), recent_.end(), path));
    return found->tip;
}

void DetailToolTips::request(const QString &path, QObject *context, std::function<void(const DetailToolTip &)> ready)
{
    if (!reading_.add(path, context, std::move(ready)))
        return;
    // Handed back through the catalogue, on its thread: once it is gone (it
    // waits for its tasks first), nothing comes back to a tool-tip cache
    // that is gone with it.
    catalogue_.executor().start([this, path, generation = generation_] {
        Known known;
        // Taken before the read: a file changed meanwhile is read again.
        known.stamp = FileStamp::of(path);
        try {
            known.tip = detailToolTipWithPicture(path, catalogue_.databases()->database);
        } catch (...) {
            known.stamp.size = -1;  // no memory for it: not kept
            known.tip.text = displayPath(path);
        }
        QMetaObject::invokeMethod(
            &catalogue_, [this, path, known, generation] { finish(path, known, generation); }, Qt::QueuedConnection);
    });
}

void DetailToolTips::clear()
{
    known_.clear();
    recent_.clear();
    ++generation_;
}

void DetailToolTips::finish(const QString &path, const Known &known, quint64 generation)
{
    if (known.stamp.size >= 0 && generation == generation_) {
        if (known_.contains(path))
            recent_.remove(path);
        known_.insert(path, known);
        recent_.push_front(path);
        while (recent_.size() > size_t(kKept)) {
            known_.remove(recent_.back());
            recent_.pop_back();
        }
    }
    reading_.finish(path, known.tip);
}

}  // namespace vantorix
