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
class Catalogue;
struct DetailToolTip;
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
    // details of a file and the game's picture are read through the
    // catalogue (none without it).
    void setToolTipSource(ToolTipSource source) { source_ = std::move(source); }
    void setDetails(vantorix::Catalogue *catalogue) { catalogue_ = catalogue; }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showToolTip(QAbstractItemView *view, const QModelIndex &index, const QPoint &at, const QString &text,
                     const QImage &picture = QImage());
    // Details shown: their picture follows when it is read or downloaded,
    // if the pointer still rests on the item.
    void showDetails(QAbstractItemView *view, const QModelIndex &index, const QPoint &at,
                     const vantorix::DetailToolTip &tip);
    void showPictureWhenRead(const QString &picture);
    void downloadPicture(const vantorix::DetailToolTip &tip);

    int rowHeight_;
    ToolTipSource source_;
    vantorix::Catalogue *catalogue_ = nullptr;
    // The item whose details are shown, waiting for its picture.
    QPointer<QAbstractItemView> shownView_;
    QPersistentModelIndex shownOn_;
    QPoint shownAt_;
    QString shownText_;
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
