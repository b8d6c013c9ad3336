#include "app/ListItemDelegate.h"

#include "app/PlainText.h"

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
    QString tip = index.data(Qt::ToolTipRole).toString();
    if (tip.isEmpty() && source_)
        tip = source_(index);
    if (tip.isEmpty()) {
        QToolTip::hideText();
        return true;
    }
    QToolTip::showText(event->globalPos(), vantorix::plainToolTip(tip), view, view->visualRect(index));
    return true;
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
