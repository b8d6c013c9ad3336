#pragma once

#include "tests/TestSupport.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

namespace vantorix {
class Catalogue;
}
class TForm5;

// What the tests of the windows share: answering modal windows, waiting
// for the reader and for tool-tips, the five windows around a test.
namespace testing_support {

// Answers the next modal window that appears: handler receives it and must
// close it. Given several handlers, each answers the next new modal window in
// turn (a question a dialog asks from inside its own accept is answered
// too). If a window does not appear within timeoutMs, the answerer records a
// test failure; then, and for every answered window still open, the modal
// windows are rejected, so that a test never hangs on a dialog it did not
// expect.
class ModalAnswerer {
public:
    using Handler = std::function<void(QWidget *)>;
    explicit ModalAnswerer(Handler handler, int timeoutMs = 5000);
    explicit ModalAnswerer(std::vector<Handler> handlers, int timeoutMs = 5000);
    ~ModalAnswerer();
    bool answered() const;  // every handler ran
    QString seenText() const;  // the message of the first message box
    QStringList seenTexts() const;  // the messages of all message boxes

private:
    struct State;
    State *state_;
};

// Types path into a file dialog and confirms it.
void acceptFileDialog(QWidget *dialog, const QString &path);

// Handlers for ModalAnswerer: press a message box's button / reject.
void pressButton(QWidget *messageBox, int standardButton);
void pressOk(QWidget *messageBox);
void rejectDialog(QWidget *dialog);

// The tool-tip shown once a list's item details are read (empty when none
// shows before the watchdog).
QString waitForToolTip();

// Drags file onto target and drops it there.
void dropFile(QWidget *target, const QString &file);

// Shows the main window, answering the load dialog of its first showing
// with Cancel.
void showMainWindow();

// Lets the events run until the reader has listed its folder and read its
// files (a generous watchdog fails the wait instead of hanging).
void waitForReader(TForm5 *reader = nullptr);
// Shows the main window for the first time and waits until its show
// handler has run (once the window is on the screen).
void startMainWindow();

// The longest time between two turns of the window's event loop since it
// was made, while a 5 ms timer asks to be run.
class PauseMeter {
public:
    PauseMeter()
    {
        clock_.start();
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = clock_.elapsed();
            longest_ = qMax(longest_, now - last_);
            last_ = now;
        });
        timer_.start();
    }
    qint64 longestMs() const { return qMax(longest_, clock_.elapsed() - last_); }

private:
    QElapsedTimer clock_;
    QTimer timer_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
};

// Starts and ends the five windows around each test.
class FormsGuard {
public:
    FormsGuard();
    ~FormsGuard();
    vantorix::Catalogue &catalogue() { return *catalogue_; }

private:
    std::unique_ptr<vantorix::Catalogue> catalogue_;
};

}  // namespace testing_support
