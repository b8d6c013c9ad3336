#include "names/GameNameFiles.h"

#include "names/DatReader.h"
#include "platform/FilePath.h"
#include "platform/IoError.h"
#include "platform/WholeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QSet>

#include <optional>

namespace vantorix {

const QList<GameNamesFile> &gameNamesFiles()
{
    static const QList<GameNamesFile> files{
        {QStringLiteral("Nintendo - Game Boy"), QStringLiteral("Nintendo - Game Boy.dat")},
        {QStringLiteral("Nintendo - Game Boy Color"), QStringLiteral("Nintendo - Game Boy Color.dat")},
    };
    return files;
}

QString whyNotNamesDatabase(const QByteArray &bytes, const QString &system, QString *version)
{
    const auto tr = [](const char *text) { return QCoreApplication::translate("GameNames", text); };
    if (bytes.size() > kMostNamesBytes)
        return IoError::fileTooLarge().text();
    DatContents contents;
    try {
        contents = readDat(bytes);
    } catch (const DatError &error) {
        return tr("not a game database (line %1: %2)").arg(error.line()).arg(error.reason());
    }
    if (contents.headers.empty() || contents.headers.front().name != system)
        return tr("not the database of %1").arg(system);
    QSet<QString> games;
    for (const DatRom &rom : contents.roms)
        games.insert(rom.game);
    if (games.size() < kLeastGamesKept)
        return tr("only %1 games listed").arg(games.size());
    if (version)
        *version = contents.headers.front().version;
    return QString();
}

QString NamesDownloadRecord::pathOf(const QString &datFolder, const GameNamesFile &file)
{
    // Hidden, and no .dat: the databases' reading never takes it.
    return datFolder + QStringLiteral("/.") + file.fileName + QStringLiteral(".download");
}

NamesDownloadRecord NamesDownloadRecord::read(const QString &datFolder, const GameNamesFile &file)
{
    NamesDownloadRecord record;
    QByteArray bytes;
    try {
        bytes = readOwnFile(pathOf(datFolder, file), 64 << 10);
    } catch (const IoError &) {
        return record;
    }
    for (const QByteArray &line : bytes.split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals < 0)
            continue;
        const QByteArray key = line.left(equals);
        const QByteArray value = line.mid(equals + 1);
        if (key == "etag")
            record.etag = value;
        else if (key == "last-modified")
            record.lastModified = value;
        else if (key == "checked")
            record.checked = QDateTime::fromSecsSinceEpoch(value.toLongLong(), Qt::UTC);
        else if (key == "version")
            record.version = QString::fromUtf8(value);
    }
    return record;
}

void NamesDownloadRecord::write(const QString &datFolder, const GameNamesFile &file) const
{
    // A header's value never breaks a line of the record.
    const auto oneLine = [](QByteArray value) { return value.replace('\n', ' ').replace('\r', ' '); };
    const QByteArray text = "etag=" + oneLine(etag) + "\nlast-modified=" + oneLine(lastModified) + "\nchecked="
                            + QByteArray::number(checked.isValid() ? checked.toSecsSinceEpoch() : 0)
                            + "\nversion=" + oneLine(version.toUtf8()) + '\n';
    writeFileAtomically(pathOf(datFolder, file), text, LinkAtPath::Replace);
}

bool isDownloadedNamesFile(const QString &datFolder, const GameNamesFile &file)
{
    return isRegularFile(NamesDownloadRecord::pathOf(datFolder, file));
}

bool hasOwnNamesDatabase(const QString &datFolder)
{
    QSet<QString> downloads;
    for (const GameNamesFile &file : gameNamesFiles())
        if (isDownloadedNamesFile(datFolder, file))
            downloads.insert(file.fileName);
    const QDir dir(datFolder);
    for (const QString &name : dir.entryList({QStringLiteral("*.dat"), QStringLiteral("*.xml")}, QDir::Files)) {
        if (downloads.contains(name))
            continue;
        // The header lies in the first lines: a look at them tells the
        // system without reading a large file whole.
        const std::optional<QByteArray> head = headOfRegularFile(dir.filePath(name), 16 << 10);
        if (head && (head->contains("Game Boy\"") || head->contains("Game Boy<") || head->contains("Game Boy Color")))
            return true;
    }
    return false;
}

bool namesCheckDue(const QString &datFolder, const QDateTime &now)
{
    for (const GameNamesFile &file : gameNamesFiles()) {
        const NamesDownloadRecord record = NamesDownloadRecord::read(datFolder, file);
        if (!record.checked.isValid() || record.checked.addDays(7) <= now)
            return true;
    }
    return false;
}

}  // namespace vantorix
