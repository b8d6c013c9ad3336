#pragma once

#include "widgets/PlainText.h"

#include <QDialog>
#include <QEvent>
#include <QScreen>

namespace vantorix {

inline void centreOnScreen(QWidget *window)
{
    if (const QScreen *screen = window->screen())
        window->move(screen->availableGeometry().center() - window->rect().center());
}

// Centres its window on the screen each time the window is shown.
class CentreOnShow : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType())
            centreOnScreen(static_cast<QWidget *>(watched));
        return false;
    }
};

// The secondary windows: fixed size, a close box, no help button, modal,
// centred on the screen when shown; their labels show plain text.
inline void makeFixedDialog(QDialog *dialog, Qt::WindowFlags extra = {})
{
    makeLabelsPlain(dialog);
    dialog->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
                           | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | extra);
    dialog->setFixedSize(dialog->size());
    dialog->setModal(true);
    dialog->installEventFilter(new CentreOnShow(dialog));
}

// The same, but the window can be enlarged from its design size (see
// WindowAnchors) and maximised.
inline void makeResizableDialog(QDialog *dialog)
{
    makeLabelsPlain(dialog);
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                           | Qt::WindowMaximizeButtonHint);
    dialog->setModal(true);
    dialog->installEventFilter(new CentreOnShow(dialog));
}

}  // namespace vantorix
