#include "windows/CoverDelegate.h"

#include "widgets/ErrorBox.h"
#include "widgets/ScaledPictures.h"
#include "widgets/TextLines.h"
#include "library/LibraryModel.h"
#include "pictures/GamePictures.h"
#include "reading/Catalogue.h"

#include <QListView>
#include <QPainter>
#include <QPointer>

namespace {

constexpr int kCaptionLines = 2;

}  // namespace

CoverDelegate::CoverDelegate(vantorix::Catalogue &catalogue, QListView *view)
    : QStyledItemDelegate(view), catalogue_(catalogue), view_(view)
{
}

QSize CoverDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    return QSize(size + 16, size + option.fontMetrics.lineSpacing() * kCaptionLines + 12);
}

void CoverDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    painter->save();
    painter->setFont(item.font);
    if (item.state & QStyle::State_Selected)
        painter->fillRect(item.rect, item.palette.highlight());
    const QRect cover(item.rect.x() + 8, item.rect.y() + 4, size, size);
    const QString path = index.data(vantorix::LibraryModel::PathRole).toString();
    const QString name = index.data(Qt::DisplayRole).toString();
    const QImage image = coverOf(path, name, index.data(vantorix::LibraryModel::ColourRole).toBool());
    const QFontMetrics &metrics = item.fontMetrics;
    if (image.isNull()) {
        painter->fillRect(cover, item.palette.alternateBase());
        painter->setPen(item.palette.mid().color());
        painter->drawRect(cover.adjusted(0, 0, -1, -1));
        painter->setPen(item.palette.text().color());
        // As many whole lines as the tile holds, the last elided.
        const QRect inside = cover.adjusted(4, 4, -4, -4);
        drawTextLines(painter, inside, fittedLines(item.font, name, inside.width(),
                                                   qMax(1, inside.height() / metrics.lineSpacing())),
                      Qt::AlignVCenter);
    } else {
        const QImage scaled = image.scaled(cover.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
        painter->drawImage(cover.x() + (size - scaled.width()) / 2, cover.y() + (size - scaled.height()) / 2, scaled);
    }
    painter->setPen((item.state & QStyle::State_Selected) ? item.palette.highlightedText().color()
                                                          : item.palette.text().color());
    const QRect caption(item.rect.x() + 2, cover.bottom() + 4, item.rect.width() - 4,
                        metrics.lineSpacing() * kCaptionLines);
    drawTextLines(painter, caption, fittedLines(item.font, name, caption.width(), kCaptionLines), Qt::AlignTop);
    painter->restore();
}

QImage CoverDelegate::coverOf(const QString &path, const QString &name, bool colour) const
{
    const auto found = found_.constFind(path);
    if (found == found_.constEnd()) {
        found_.insert(path, QString());  // looked for once
        auto *self = const_cast<CoverDelegate *>(this);
        catalogue_.runThenHandBack(
            view_,
            [path, name, colour] {
                const vantorix::PictureQuery query = vantorix::pictureQueryOf(path, name, QString(), colour);
                const QStringList roots = vantorix::pictureRoots();
                QString picture = vantorix::findPicture(roots, query, vantorix::PictureKind::BoxArt);
                if (picture.isEmpty())
                    picture = vantorix::findPicture(roots, query, vantorix::PictureKind::TitleScreen);
                return picture;
            },
            [self, path](const QString &picture) {
                vantorix::atHandlerEdge([&] {
                    self->found_.insert(path, picture);
                    if (!picture.isEmpty())
                        self->view_->viewport()->update();
                });
            });
        return QImage();
    }
    if (found->isEmpty())
        return QImage();
    ScaledPictures &pictures = ScaledPictures::of(catalogue_);
    if (const std::optional<QImage> image = pictures.cached(*found))
        return *image;
    QPointer<QListView> view(view_);
    pictures.request(*found, view_, [view](const QImage &) {
        if (view)
            view->viewport()->update();
    });
    return QImage();
}
