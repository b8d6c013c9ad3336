#include "widgets/GameListBox.h"

#include "widgets/ListItemDelegate.h"
#include "widgets/PlainText.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QToolTip>

GameListBox::GameListBox(QWidget *parent) : QComboBox(parent)
{
    delegate_ = vantorix::useListItemDelegate(view(), 16);
    // A list below the box that scrolls, not a menu as tall as the screen.
    setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    setMaxVisibleItems(8);
    // The list was made for a menu-like popup, without a scroll bar.
    view()->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Measuring every entry for a size hint would read texts of any length.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    // Versions and file names are at the end of an entry: a cut in the
    // middle would hide what tells two games apart.
    view()->setTextElideMode(Qt::ElideRight);
}

void GameListBox::showPopup()
{
    QComboBox::showPopup();
    QWidget *popup = view()->window();
    if (popup == window())
        return;
    const QFontMetrics metrics(view()->font());
    int widest = 0;
    for (int row = 0; row < count(); ++row)
        widest = qMax(widest, metrics.horizontalAdvance(
                                  vantorix::shownText(itemText(row), ListItemDelegate::kShownLength)));
    // Around the text: the popup's frame and scroll bar (what it has
    // beside its viewport), the row's icon and the item's margins.
    const int textMargin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view()) + 1;
    const int margins = popup->width() - view()->viewport()->width() + iconSize().width() + 4 * textMargin + 8;
    QRect placed = popup->geometry();
    const QRect screen = this->screen() ? this->screen()->availableGeometry() : placed;
    placed.setWidth(qMin(qMax(placed.width(), widest + margins), screen.width()));
    if (placed.right() > screen.right())
        placed.moveRight(screen.right());
    if (placed.left() < screen.left())
        placed.moveLeft(screen.left());
    popup->setGeometry(placed);
}

void GameListBox::initStyleOption(QStyleOptionComboBox *option) const
{
    QComboBox::initStyleOption(option);
    option->currentText = vantorix::shownText(option->currentText, ListItemDelegate::kShownLength);
}

void GameListBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Q_EMIT launchRequested();
        return;
    }
    QComboBox::keyPressEvent(event);
}

ElidedLabel::ElidedLabel(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

QString ElidedLabel::shownLine() const
{
    // Both ends of a line of any length, elided in between.
    QString line = text();
    const int keep = vantorix::kShownCaptionLength;
    if (line.size() > 2 * keep)
        line = line.left(keep) + QChar(0x2026) + line.right(keep);
    return fontMetrics().elidedText(line, Qt::ElideMiddle, contentsRect().width());
}

bool ElidedLabel::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const QString whole = vantorix::shownText(text(), 64 * 1024);
        if (shownLine() != text())
            QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), vantorix::plainToolTip(whole), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QLabel::event(event);
}

void ElidedLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), int(alignment()), palette(), isEnabled(), shownLine(),
                          foregroundRole());
}
