#pragma once

#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>

#include <functional>

class QAbstractItemView;

// What an item's tool-tip is: a text, or the details of a file, read off
// the user-interface thread and shown once ready.
struct ItemToolTip {
    QString text;
    QString detailsOf;
};

// How the program's lists draw their items: rows of a fixed height, texts
// of any length shown cut (the item keeps its whole text), and tool-tips
// shown as plain text, either the item's own or one made when the pointer
// rests on the item.
namespace vantorix {
class DetailToolTips;
}

class ListItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using ToolTipSource = std::function<ItemToolTip(const QModelIndex &)>;

    // Longer texts are shown cut with "…": measuring and drawing a text of
    // megabytes would freeze the window.
    static constexpr int kShownLength = 512;

    ListItemDelegate(int rowHeight, QObject *parent);

    // Asked for the tool-tip of an item that has none of its own; the
    // details of a file are read through details (none without it).
    void setToolTipSource(ToolTipSource source) { source_ = std::move(source); }
    void setDetails(vantorix::DetailToolTips *details) { details_ = details; }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showToolTip(QAbstractItemView *view, const QModelIndex &index, const QPoint &at, const QString &text);

    int rowHeight_;
    ToolTipSource source_;
    vantorix::DetailToolTips *details_ = nullptr;
    // The item the pointer rests on while its details are read: they are
    // shown only if it still rests there.
    QPointer<QAbstractItemView> restingView_;
    QPersistentModelIndex restingOn_;
    QPoint restingAt_;
};

namespace vantorix {

// Gives view a ListItemDelegate with rows of rowHeight pixels.
ListItemDelegate *useListItemDelegate(QAbstractItemView *view, int rowHeight);

}  // namespace vantorix
