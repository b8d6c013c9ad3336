#include "tests/WindowTestSupport.h"

#include "settings/UserSettings.h"

#include "app/Forms.h"
#include "app/Unit1.h"
#include "reading/Catalogue.h"
#include "catalogue/Unit5.h"

#include <QAbstractButton>
#include <QApplication>
#include <QUrl>
#include <QDropEvent>
#include <QMimeData>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QToolTip>

#include <gtest/gtest.h>

namespace testing_support {

struct ModalAnswerer::State {
    std::vector<Handler> handlers;
    size_t next = 0;  // handlers started
    size_t done = 0;  // handlers finished
    QTimer poll;
    QTimer deadline;
    QList<QPointer<QWidget>> answeredWidgets;
    QStringList texts;
    // The modal window open before: it is not one to answer.
    QPointer<QWidget> openBefore = QApplication::activeModalWidget();

    bool isAnswered(QWidget *widget) const
    {
        for (const QPointer<QWidget> &seen : answeredWidgets)
            if (seen == widget)
                return true;
        return false;
    }
};

ModalAnswerer::ModalAnswerer(Handler handler, int timeoutMs)
    : ModalAnswerer(std::vector<Handler>{std::move(handler)}, timeoutMs)
{
}

ModalAnswerer::ModalAnswerer(std::vector<Handler> handlers, int timeoutMs) : state_(new State)
{
    state_->handlers = std::move(handlers);
    State *state = state_;
    QObject::connect(&state->poll, &QTimer::timeout, [state] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || state->next >= state->handlers.size()
            || state->isAnswered(modal) || modal == state->openBefore)
            return;
        state->answeredWidgets.append(modal);
        ++state->next;
        if (auto *box = qobject_cast<QMessageBox *>(modal))
            state->texts.append(box->text());
        if (state->next >= state->handlers.size())
            state->poll.stop();
        // The handler may open a nested loop (a dialog asking a question
        // from its accept). It runs outside this timer's slot, because Qt
        // does not fire a timer again while its own slot is still running.
        QPointer<QWidget> target = modal;
        Handler *handler = &state->handlers[state->next - 1];
        QTimer::singleShot(0, &state->poll, [state, handler, target] {
            if (target)
                (*handler)(target);
            ++state->done;
        });
    });
    QObject::connect(&state->deadline, &QTimer::timeout, [state] {
        state->poll.stop();
        if (state->next >= state->handlers.size()) {
            // The handlers were to close them; a window still open would hang.
            for (const QPointer<QWidget> &widget : state->answeredWidgets) {
                if (!widget || !widget->isVisible())
                    continue;
                ADD_FAILURE() << "the answered window stayed open: " << widget->metaObject()->className();
                if (auto *dialog = qobject_cast<QDialog *>(widget.data()))
                    dialog->reject();
            }
            return;
        }
        ADD_FAILURE() << "modal window " << state->next + 1 << " of " << state->handlers.size()
                      << " did not appear in time";
        while (QWidget *modal = QApplication::activeModalWidget()) {
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->reject();
            else
                modal->close();
            if (QApplication::activeModalWidget() == modal)
                break;
        }
    });
    state->poll.start(10);
    state->deadline.setSingleShot(true);
    state->deadline.start(timeoutMs);
}

ModalAnswerer::~ModalAnswerer()
{
    delete state_;
}

bool ModalAnswerer::answered() const
{
    return state_->done >= state_->handlers.size();
}

QString ModalAnswerer::seenText() const
{
    return state_->texts.value(0);
}

QStringList ModalAnswerer::seenTexts() const
{
    return state_->texts;
}

void pressButton(QWidget *widget, int standardButton)
{
    auto *box = qobject_cast<QMessageBox *>(widget);
    ASSERT_NE(box, nullptr) << "expected a message box, got " << widget->metaObject()->className();
    QAbstractButton *button = box->button(QMessageBox::StandardButton(standardButton));
    ASSERT_NE(button, nullptr) << "the message box has no such button";
    button->click();
}

void pressOk(QWidget *widget)
{
    pressButton(widget, QMessageBox::Ok);
}

void rejectDialog(QWidget *widget)
{
    auto *dialog = qobject_cast<QDialog *>(widget);
    ASSERT_NE(dialog, nullptr);
    dialog->reject();
}

void acceptFileDialog(QWidget *widget, const QString &path)
{
    auto *dialog = qobject_cast<QFileDialog *>(widget);
    ASSERT_NE(dialog, nullptr) << "expected a file dialog, got " << widget->metaObject()->className();
    const QFileInfo info(path);
    dialog->setDirectory(info.absolutePath());
    auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(edit, nullptr);
    edit->setText(info.fileName());
    QMetaObject::invokeMethod(dialog, "accept");
}

QString waitForToolTip()
{
    waitFor([] { return QToolTip::isVisible() && !QToolTip::text().isEmpty(); });
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

void dropFile(QWidget *target, const QString &file)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

void showMainWindow()
{
    ModalAnswerer startUp(rejectDialog);
    startMainWindow();
}

void startMainWindow()
{
    Form1->show();
    waitFor([] { return Form1->hasStarted(); });
}

void waitForReader(TForm5 *reader)
{
    if (!reader)
        reader = Form5;
    QElapsedTimer waited;
    waited.start();
    // A listing posts its end once its batches are in: run them all.
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (waited.elapsed() > 120'000) {
            ADD_FAILURE() << "the reader still reads after two minutes";
            return;
        }
    } while (reader->isReading());
    QCoreApplication::processEvents();
}

FormsGuard::FormsGuard() : catalogue_(std::make_unique<vantorix::Catalogue>())
{
    // Each test starts from the windows' defaults, whatever one before chose.
    QFile::remove(vantorix::UserSettings::defaultPath());
    // Nothing is downloaded, nor asked about, unless a test wants it.
    vantorix::UserSettings().setPictureDownloads(false);
    vantorix::createForms(*catalogue_);
}

FormsGuard::~FormsGuard()
{
    catalogue_->waitForTasks();
    vantorix::destroyForms();
}

}  // namespace testing_support
