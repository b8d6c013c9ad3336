#include "config/LastConfiguration.h"

#include "platform/FilePath.h"
#include "platform/IoError.h"
#include "config/TextFile.h"

#include <QDir>
#include <QFileInfo>

namespace vantorix {

QString lastConfigurationRecord()
{
    return xdgUserFolder("XDG_STATE_HOME", QStringLiteral(".local/state")) + QStringLiteral("/vantorix/last-configuration");
}

QString lastConfigurationFile()
{
    try {
        const QByteArray bytes = readWholeFile(lastConfigurationRecord());
        const QString path = decodePath(bytes.left(bytes.indexOf('\n')));
        return path.startsWith(QLatin1Char('/')) && QFileInfo(path).isFile() ? path : QString();
    } catch (const IoError &) {
        return QString();
    }
}

void rememberLastConfiguration(const QString &path)
{
    const QString record = lastConfigurationRecord();
    try {
        if (QDir().mkpath(QFileInfo(record).absolutePath()))
            writeFileAtomically(record, encodePath(absolutePath(path)) + '\n');
    } catch (const IoError &) {
    }
}

}  // namespace vantorix
