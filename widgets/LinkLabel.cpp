#include "widgets/LinkLabel.h"

#include <QFontInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

LinkLabel::LinkLabel(QWidget *parent) : QLabel(parent)
{
    setCursor(Qt::PointingHandCursor);
    // Navy while enabled; a disabled link keeps the toolkit's grey.
    QPalette navy = palette();
    navy.setColor(QPalette::Active, QPalette::WindowText, QColor(0, 0, 128));
    navy.setColor(QPalette::Inactive, QPalette::WindowText, QColor(0, 0, 128));
    setPalette(navy);
}

void LinkLabel::mousePressEvent(QMouseEvent *event)
{
    pressed_ = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        Q_EMIT clicked();
}

PictogramLabel::PictogramLabel(QWidget *parent) : LinkLabel(parent) {}

bool PictogramLabel::drawsPictogram() const
{
    return QFontInfo(font()).family().compare(QLatin1String("Webdings"), Qt::CaseInsensitive) != 0;
}

void PictogramLabel::paintEvent(QPaintEvent *event)
{
    if (!drawsPictogram()) {
        LinkLabel::paintEvent(event);
        return;
    }
    // A round "close" sign in the label's colour.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int side = qMin(width(), height()) - 6;
    const QRectF box((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    const QColor ink = palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                       foregroundRole());
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawEllipse(box);
    QPen cross(palette().color(QPalette::Window), side / 7.0, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(cross);
    const qreal inset = side * 0.3;
    painter.drawLine(box.topLeft() + QPointF(inset, inset), box.bottomRight() - QPointF(inset, inset));
    painter.drawLine(box.topRight() + QPointF(-inset, inset), box.bottomLeft() + QPointF(inset, -inset));
}
