#include "widgets/WindowAnchors.h"

#include <QEvent>

#include <cmath>

WindowAnchors::WindowAnchors(QWidget *window, bool growsDown)
    : QObject(window), window_(window), design_(window->size())
{
    window->setMinimumSize(design_);
    window->setMaximumSize(QWIDGETSIZE_MAX, growsDown ? QWIDGETSIZE_MAX : design_.height());
    window->installEventFilter(this);
}

void WindowAnchors::anchor(QWidget *control, Share share)
{
    anchored_.push_back({control, control->geometry(), share});
    place();
}

bool WindowAnchors::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window_ && event->type() == QEvent::Resize)
        place();
    return QObject::eventFilter(watched, event);
}

void WindowAnchors::place()
{
    const int dx = qMax(0, window_->width() - design_.width());
    const int dy = qMax(0, window_->height() - design_.height());
    // Rounded alike everywhere, so that controls sharing an edge keep it.
    auto part = [](int growth, double share) { return int(std::lround(growth * share)); };
    for (const Anchored &a : anchored_) {
        if (!a.control)
            continue;
        const QRect &d = a.designed;
        const int left = d.left() + part(dx, a.share.moveX);
        const int top = d.top() + part(dy, a.share.moveY);
        const int right = d.left() + d.width() + part(dx, a.share.moveX + a.share.growX);
        const int bottom = d.top() + d.height() + part(dy, a.share.moveY + a.share.growY);
        a.control->setGeometry(left, top, right - left, bottom - top);
    }
}
