#include "platform/TimeZone.h"

#include <QByteArray>
#include <QtGlobal>

#include <ctime>

namespace vantorix {

void settleTimeZone()
{
    if (!qEnvironmentVariableIsSet("TZ"))
        qputenv("TZ", QByteArrayLiteral(":/etc/localtime"));
    ::tzset();
}

}  // namespace vantorix
