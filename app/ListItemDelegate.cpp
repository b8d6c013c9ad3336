#include "app/ListItemDelegate.h"

#include "app/ErrorBox.h"
#include "app/PlainText.h"
#include "catalogue/DetailToolTips.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QListView>
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
    if (tip.text.isEmpty() && !tip.detailsOf.isEmpty() && details_) {
        auto &details = *details_;
        if (const std::optional<QString> known = details.cached(tip.detailsOf)) {
            tip.text = *known;
        } else {
            QToolTip::hideText();
            restingView_ = view;
            restingOn_ = index;
            restingAt_ = event->globalPos();
            view->viewport()->installEventFilter(this);
            const QPersistentModelIndex wanted(index);
            details.request(tip.detailsOf, this, [this, wanted](const QString &text) {
                if (restingView_ && restingOn_.isValid() && restingOn_ == wanted)
                    showToolTip(restingView_, wanted, restingAt_, text);
            });
            return true;
        }
    }
    showToolTip(view, index, event->globalPos(), tip.text);
    return true;
}

void ListItemDelegate::showToolTip(QAbstractItemView *view, const QModelIndex &index, const QPoint &at,
                                   const QString &text)
{
    restingOn_ = QPersistentModelIndex();
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(at, vantorix::plainToolTip(text), view, view->visualRect(index));
}

bool ListItemDelegate::eventFilter(QObject *watched, QEvent *event)
{
    // The pointer left the list, or the list is going: no late tool-tip.
    if (event->type() == QEvent::Leave || event->type() == QEvent::Hide)
        restingOn_ = QPersistentModelIndex();
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
