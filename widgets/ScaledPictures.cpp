#include "widgets/ScaledPictures.h"

#include "reading/Catalogue.h"
#include "pictures/GamePictures.h"
#include "platform/FilePath.h"
#include "widgets/PlainText.h"

#include <QBuffer>
#include <QImageReader>
#include <QMetaObject>

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantorix {

QImage readScaledPicture(const QString &path)
{
    // Read whole first, from a regular file only (a FIFO would never end),
    // and never more than a picture may hold.
    const int fd = ::open(encodePath(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return QImage();
    struct stat st;
    QByteArray bytes;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 && st.st_size <= kMaxPictureBytes) {
        bytes.resize(st.st_size);
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t got = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
            if (got <= 0)
                break;
            done += got;
        }
        bytes.truncate(done);
    }
    ::close(fd);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    // A decompression bomb stops at the allocation limit, and a picture
    // claiming more pixels than a box art ever has is not decoded at all.
    reader.setAllocationLimit(64);
    const QSize size = reader.size();
    if (reader.format() != "png" || !size.isValid() || size.isEmpty() || qint64(size.width()) * size.height() > 16'000'000)
        return QImage();
    QSize scaled = size.scaled(ScaledPictures::kMaxWidth, ScaledPictures::kHeight, Qt::KeepAspectRatio);
    if (scaled.width() > size.width())
        scaled = size;  // small pictures stay as they are
    reader.setScaledSize(scaled);
    QImage image = reader.read();
    return image.isNull() ? QImage() : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace vantorix

ScaledPictures &ScaledPictures::of(vantorix::Catalogue &catalogue)
{
    if (auto *made = catalogue.findChild<ScaledPictures *>(QString(), Qt::FindDirectChildrenOnly))
        return *made;
    return *new ScaledPictures(catalogue);
}

ScaledPictures::ScaledPictures(vantorix::Catalogue &catalogue)
    : QObject(&catalogue), catalogue_(catalogue), kept_(kKeptBytes)
{
}

std::optional<QImage> ScaledPictures::cached(const QString &path)
{
    const QImage *found = kept_.object(path);
    if (!found)
        return std::nullopt;
    return *found;
}

void ScaledPictures::request(const QString &path, QObject *context, std::function<void(const QImage &)> ready)
{
    if (!reading_.add(path, context, std::move(ready)))
        return;
    // Handed back through this object, a child of the catalogue, which
    // waits for its tasks before it goes.
    catalogue_.runThenHandBack(
        this,
        [path] {
            QImage image;
            try {
                image = vantorix::readScaledPicture(path);
                // What a tool-tip shows it by, made once.
                if (!image.isNull())
                    image.setText(QLatin1String(vantorix::kPngInBase64), vantorix::pngInBase64(image));
            } catch (...) {
                image = QImage();  // no memory for it: no picture
            }
            return image;
        },
        [this, path](const QImage &image) {
            const qsizetype cost = image.sizeInBytes() + image.text(QLatin1String(vantorix::kPngInBase64)).size() * 2;
            kept_.insert(path, new QImage(image), qMax<qsizetype>(1, cost));
            reading_.finish(path, image);
        });
}

