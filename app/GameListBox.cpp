#include "app/GameListBox.h"

#include "app/ListItemDelegate.h"
#include "app/PlainText.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
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
