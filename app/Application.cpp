#include "app/Application.h"

#include "app/ErrorBox.h"
#include "app/IoError.h"

#include <new>

namespace vantorix {

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc &) {
        reportError(QCoreApplication::translate("Application", "Not enough memory"));
    } catch (const IoError &error) {
        reportError(error.text());
    } catch (const std::exception &error) {
        reportError(QString::fromLocal8Bit(error.what()));
    }
    return false;
}

}  // namespace vantorix
