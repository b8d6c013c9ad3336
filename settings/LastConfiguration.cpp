#include "settings/LastConfiguration.h"

#include "platform/FilePath.h"
#include "platform/IoError.h"
#include "settings/Configuration.h"
#include "settings/TextFile.h"

#include <unistd.h>

namespace vantorix {

QString lastConfigurationRecord()
{
    return xdgUserFolder("XDG_STATE_HOME", QStringLiteral(".local/state")) + QStringLiteral("/vantorix/last-configuration");
}

namespace {

// A record holds one path: its bytes, then a NUL, which no path holds (a
// line end would be read as part of a name that has one). Records of
// earlier versions end at their first line end.
constexpr qint64 kRecordBytes = 64 * 1024;

QString readRecord(const QString &record)
{
    try {
        const QByteArray bytes = readOwnFile(record, kRecordBytes);
        const qsizetype end = bytes.indexOf('\0');
        return decodePath(bytes.left(end >= 0 ? end : bytes.indexOf('\n')));
    } catch (const IoError &) {
        return QString();
    }
}

// Never through a link at the record's place: the link is replaced.
void writeRecord(const QString &record, const QString &path)
{
    try {
        makeFolders(record.left(record.lastIndexOf(QLatin1Char('/'))));
        writeFileAtomically(record, encodePath(absolutePath(path)) + '\0' + '\n', LinkAtPath::Replace);
    } catch (const IoError &) {
        // Not remembered: the next start proposes nothing.
    }
}

}  // namespace

QString lastConfigurationFile()
{
    const QString path = readRecord(lastConfigurationRecord());
    return path.startsWith(QLatin1Char('/')) && isRegularFile(path) ? path : QString();
}

void rememberLastConfiguration(const QString &path)
{
    writeRecord(lastConfigurationRecord(), path);
}

QString startConfigurationFile()
{
    const QString last = lastConfigurationFile();
    if (!last.isEmpty())
        return last;
    const QString folder = userConfigurationFolder();
    const QString user = folder + QStringLiteral("/user.cfg");
    return !folder.isEmpty() && isRegularFile(user) ? user : QString();
}

namespace {

QString lastPlayedRecord()
{
    const QString record = lastConfigurationRecord();
    return record.left(record.lastIndexOf(QLatin1Char('/'))) + QStringLiteral("/last-played");
}

}  // namespace

QString lastPlayedRom()
{
    return readRecord(lastPlayedRecord());
}

void rememberLastPlayedRom(const QString &path)
{
    writeRecord(lastPlayedRecord(), path);
}

void forgetLastPlayedRom()
{
    ::unlink(encodePath(lastPlayedRecord()).constData());
}

}  // namespace vantorix
