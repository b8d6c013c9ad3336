#include "widgets/ListItemDelegate.h"

#include "widgets/ErrorBox.h"
#include "widgets/PlainText.h"
#include "widgets/ScaledPictures.h"
#include "reading/Catalogue.h"
#include "reading/DetailToolTips.h"
#include "downloads/PictureDownloads.h"
#include "settings/UserSettings.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QListView>
#include <QTimer>
#include <QToolTip>

ListItemDelegate::ListItemDelegate(int rowHeight, QObject *parent)
    : QStyledItemDelegate(parent), rowHeight_(rowHeight)
{
}

void ListItemDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    option->text = vantorix::shownText(option->text, kShownLength);
    // The toolkit makes an item current without selecting it when the list
    // gets the focus; its focus frame would look like a selection.
    if (!(option->state & QStyle::State_Selected))
        option->state &= ~QStyle::State_HasFocus;
}

QSize ListItemDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(), rowHeight_);
}

bool ListItemDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view,
                                 const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    restingOn_ = QPersistentModelIndex();
    ItemToolTip tip{index.data(Qt::ToolTipRole).toString(), QString()};
    if (tip.text.isEmpty() && source_ && !vantorix::atHandlerEdge([&] { tip = source_(index); }))
        return true;
    if (tip.text.isEmpty() && !tip.detailsOf.isEmpty() && catalogue_) {
        auto &details = catalogue_->toolTips();
        if (const std::optional<vantorix::DetailToolTip> known = details.cached(tip.detailsOf)) {
            showDetails(view, index, event->globalPos(), *known);
        } else {
            QToolTip::hideText();
            restingView_ = view;
            restingOn_ = index;
            restingAt_ = event->globalPos();
            view->viewport()->installEventFilter(this);
            const QPersistentModelIndex wanted(index);
            details.request(tip.detailsOf, this, [this, wanted](const vantorix::DetailToolTip &read) {
                if (restingView_ && restingOn_.isValid() && restingOn_ == wanted)
                    showDetails(restingView_, wanted, restingAt_, read);
            });
        }
        return true;
    }
    showToolTip(view, index, event->globalPos(), tip.text);
    return true;
}

void ListItemDelegate::showDetails(QAbstractItemView *view, const QModelIndex &index, const QPoint &at,
                                   const vantorix::DetailToolTip &tip)
{
    std::optional<QImage> picture;
    if (!tip.picture.isEmpty())
        picture = ScaledPictures::of(*catalogue_).cached(tip.picture);
    showToolTip(view, index, at, tip.text, picture.value_or(QImage()));
    if (picture)
        return;
    // The text now; the picture once it is read, or downloaded.
    shownView_ = view;
    shownOn_ = index;
    shownAt_ = at;
    shownText_ = tip.text;
    view->viewport()->installEventFilter(this);
    if (!tip.picture.isEmpty())
        showPictureWhenRead(tip.picture);
    else if (!tip.downloadable.isEmpty())
        downloadPicture(tip);
}

void ListItemDelegate::showPictureWhenRead(const QString &picture)
{
    const QPersistentModelIndex wanted = shownOn_;
    ScaledPictures::of(*catalogue_).request(picture, this, [this, wanted](const QImage &image) {
        if (!image.isNull() && shownView_ && shownOn_.isValid() && shownOn_ == wanted)
            showToolTip(shownView_, wanted, shownAt_, shownText_, image);
    });
}

void ListItemDelegate::downloadPicture(const vantorix::DetailToolTip &tip)
{
    // Only what the user allowed: the question is the library's picture
    // pane's to ask, never a dialog popping up over a hover.
    if (vantorix::UserSettings().pictureDownloads() != vantorix::UserSettings::Downloads::Allowed)
        return;
    vantorix::PictureFetcher *downloads = catalogue_->pictureDownloads();
    if (!downloads)
        return;
    const QPersistentModelIndex wanted = shownOn_;
    downloads->fetch(tip.downloadable, vantorix::PictureKind::BoxArt, this, [this, wanted](const QString &path) {
        if (!path.isEmpty() && shownOn_.isValid() && shownOn_ == wanted)
            showPictureWhenRead(path);
    });
}

void ListItemDelegate::showToolTip(QAbstractItemView *view, const QModelIndex &index, const QPoint &at,
                                   const QString &text, const QImage &picture)
{
    restingOn_ = QPersistentModelIndex();
    shownOn_ = QPersistentModelIndex();
    if (text.isEmpty())
        QToolTip::hideText();
    else if (picture.isNull())
        QToolTip::showText(at, vantorix::plainToolTip(text), view, view->visualRect(index));
    else
        QToolTip::showText(at, vantorix::pictureToolTip(picture, text), view, view->visualRect(index));
}

bool ListItemDelegate::eventFilter(QObject *watched, QEvent *event)
{
    // The pointer left the list, or the list is going: no late tool-tip.
    if (event->type() == QEvent::Leave || event->type() == QEvent::Hide) {
        restingOn_ = QPersistentModelIndex();
        shownOn_ = QPersistentModelIndex();
    }
    return QStyledItemDelegate::eventFilter(watched, event);
}

namespace vantorix {

ListItemDelegate *useListItemDelegate(QAbstractItemView *view, int rowHeight)
{
    auto *delegate = new ListItemDelegate(rowHeight, view);
    view->setItemDelegate(delegate);
    if (auto *list = qobject_cast<QListView *>(view))
        list->setUniformItemSizes(true);
    return delegate;
}

}  // namespace vantorix
