#include "widgets/TitledGroupBox.h"

#include <QPainter>
#include <QStyle>
#include <qdrawutil.h>

TitledGroupBox::TitledGroupBox(QWidget *parent) : QGroupBox(parent) {}

void TitledGroupBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int textHeight = fontMetrics().height();
    // An etched frame of its own: styles draw theirs below the title line.
    qDrawShadeRect(&painter, rect().adjusted(0, textHeight / 2, 0, 0), palette(), true, 1, 0);

    if (title().isEmpty())
        return;
    // The title is kept with each "&" doubled, so that it makes no accelerator.
    const QString text = fontMetrics().elidedText(QString(title()).replace(QLatin1String("&&"), QLatin1String("&")),
                                                  Qt::ElideRight, width() - 16);
    const QRect titleRect(6, 0, fontMetrics().horizontalAdvance(text) + 4, textHeight);
    painter.fillRect(titleRect, palette().window());
    style()->drawItemText(&painter, titleRect, Qt::AlignCenter | Qt::TextSingleLine, palette(), isEnabled(), text,
                          QPalette::WindowText);
}
