#pragma once

#include <QHash>
#include <QImage>
#include <QStyledItemDelegate>

class QListView;

namespace vantorix {
class Catalogue;
}

// The covers of the grid: each game's box art (else its title screen, else
// a tile with its name), looked for and scaled off the window's thread for
// the rows painted, which are the rows on the screen. Names are laid out
// in at most two lines under the cover (one tile's worth on it), elided,
// never cut through.
class CoverDelegate : public QStyledItemDelegate {
public:
    CoverDelegate(vantorix::Catalogue &catalogue, QListView *view);

    int size = 128;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    // The covers found are looked for again (a picture was downloaded).
    void forget() { found_.clear(); }

private:
    QImage coverOf(const QString &path, const QString &name, bool colour) const;

    vantorix::Catalogue &catalogue_;
    QListView *view_;
    mutable QHash<QString, QString> found_;  // game -> its cover, "" while none is known
};
