#include "tests/TestSupport.h"

#include "app/Forms.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

QString writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        ADD_FAILURE() << "cannot write " << path.toStdString();
    file.write(bytes);
    return path;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

QByteArray romImage(const QByteArray &title, qint64 size, qint64 titleOffset)
{
    QByteArray image(qMax(size, titleOffset + 16), '\0');
    image.replace(titleOffset, qMin<qsizetype>(title.size(), 16), title.left(16));
    image.resize(size);
    return image;
}

struct ModalAnswerer::State {
    std::function<void(QWidget *)> handler;
    QTimer poll;
    QTimer deadline;
    bool answered = false;
    QPointer<QWidget> answeredWidget;
    QString text;
};

ModalAnswerer::ModalAnswerer(std::function<void(QWidget *)> handler, int timeoutMs)
    : state_(new State)
{
    state_->handler = std::move(handler);
    State *state = state_;
    QObject::connect(&state->poll, &QTimer::timeout, [state] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || state->answered)
            return;
        state->answered = true;
        state->answeredWidget = modal;
        state->poll.stop();
        if (auto *box = qobject_cast<QMessageBox *>(modal))
            state->text = box->text();
        state->handler(modal);
    });
    QObject::connect(&state->deadline, &QTimer::timeout, [state] {
        state->poll.stop();
        if (state->answered) {
            // The handler was to close it; a window still open would hang.
            if (state->answeredWidget && state->answeredWidget->isVisible()) {
                ADD_FAILURE() << "the answered window stayed open: "
                              << state->answeredWidget->metaObject()->className();
                if (auto *dialog = qobject_cast<QDialog *>(state->answeredWidget.data()))
                    dialog->reject();
            }
            return;
        }
        ADD_FAILURE() << "no modal window appeared in time";
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
    return state_->answered;
}

QString ModalAnswerer::seenText() const
{
    return state_->text;
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

CurrentFolderGuard::CurrentFolderGuard() : saved_(QDir::currentPath()) {}

CurrentFolderGuard::~CurrentFolderGuard()
{
    QDir::setCurrent(saved_);
}

FormsGuard::FormsGuard()
{
    vantorix::createForms();
}

FormsGuard::~FormsGuard()
{
    vantorix::destroyForms();
}

int runUnprivileged(const std::function<int()> &fn)
{
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(200);
        _exit(fn());
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 200)
        return -1;
    return WEXITSTATUS(status);
}

}  // namespace testing_support
