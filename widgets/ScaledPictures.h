#pragma once

#include "platform/ReadWaiters.h"

#include <QCache>
#include <QImage>
#include <QObject>

#include <functional>
#include <list>
#include <optional>

namespace vantorix {
class Catalogue;
}

// The pictures tool-tips show, read and scaled on the catalogue's executor
// and kept in memory up to kKeptBytes, the ones used longest ago dropped
// first. A file that is no picture, or a hostile one, gives a null image.
class ScaledPictures : public QObject {
    Q_OBJECT
public:
    static constexpr int kHeight = 160;
    static constexpr int kMaxWidth = 320;
    static constexpr qint64 kKeptBytes = qint64(32) << 20;

    // The catalogue's one instance, made at the first call.
    static ScaledPictures &of(vantorix::Catalogue &catalogue);

    std::optional<QImage> cached(const QString &path);
    // ready receives the picture on context's thread unless context is gone.
    void request(const QString &path, QObject *context, std::function<void(const QImage &)> ready);

    qint64 keptBytes() const { return kept_.totalCost(); }

private:
    explicit ScaledPictures(vantorix::Catalogue &catalogue);

    vantorix::Catalogue &catalogue_;
    QCache<QString, QImage> kept_;  // the most recently used, costing their bytes
    vantorix::ReadWaiters<QImage> reading_;
};

namespace vantorix {

constexpr int kShownPictureHeight = ScaledPictures::kHeight;

// The PNG at path scaled to at most ScaledPictures::kHeight pixels high;
// null for anything else: another format under the name, a truncated
// file, a picture too large to decode safely, no regular file.
QImage readScaledPicture(const QString &path);

}  // namespace vantorix
