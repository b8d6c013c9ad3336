#pragma once

#include <QApplication>

namespace vantorix {

// The toolkit's application, with the last edge every handler's errors
// meet: an allocation that fails or an error no handler caught is shown in
// the error box instead of ending the program.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int &argc, char **argv) : QApplication(argc, argv) {}

    bool notify(QObject *receiver, QEvent *event) override;
};

}  // namespace vantorix
