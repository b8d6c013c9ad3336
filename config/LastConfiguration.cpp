#include "config/LastConfiguration.h"

#include "platform/FilePath.h"
#include "platform/IoError.h"
#include "config/Configuration.h"
#include "config/TextFile.h"

#include <QDir>
#include <QFile>
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

QString startConfigurationFile()
{
    const QString last = lastConfigurationFile();
    if (!last.isEmpty())
        return last;
    const QString folder = userConfigurationFolder();
    const QString user = folder + QStringLiteral("/user.cfg");
    return !folder.isEmpty() && QFileInfo(user).isFile() ? user : QString();
}

namespace {

QString lastPlayedRecord()
{
    return QFileInfo(lastConfigurationRecord()).absolutePath() + QStringLiteral("/last-played");
}

}  // namespace

QString lastPlayedRom()
{
    try {
        const QByteArray bytes = readWholeFile(lastPlayedRecord());
        return decodePath(bytes.left(bytes.indexOf('\n')));
    } catch (const IoError &) {
        return QString();
    }
}

void rememberLastPlayedRom(const QString &path)
{
    try {
        makeFolders(QFileInfo(lastPlayedRecord()).absolutePath());
        writeFileAtomically(lastPlayedRecord(), encodePath(absolutePath(path)) + '\n');
    } catch (const IoError &) {
        // Not remembered: the next start selects nothing.
    }
}

void forgetLastPlayedRom()
{
    QFile::remove(lastPlayedRecord());
}

}  // namespace vantorix
