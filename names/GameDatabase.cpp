#include "names/GameDatabase.h"

#include "platform/FileDescriptor.h"
#include "platform/FilePath.h"
#include "platform/IoError.h"
#include "platform/ShownText.h"
#include "platform/WholeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/stat.h>

namespace vantorix {

int GameDatabase::add(const DatContents &contents, const QString &fallbackName)
{
    const int first = int(databases_.size());
    for (const DatHeader &header : contents.headers)
        databases_.push_back(header);
    int unnamed = -1;
    // A game's ROMs stand together: a new name is a new game.
    int games = 0;
    const QString *previous = nullptr;
    games_.reserve(games_.size() + qsizetype(contents.roms.size()));
    for (const DatRom &rom : contents.roms) {
        int database = rom.header >= 0 ? first + rom.header : unnamed;
        if (database < 0) {
            databases_.push_back(DatHeader{fallbackName, QString()});
            database = unnamed = int(databases_.size()) - 1;
        }
        if (!previous || *previous != rom.game)
            ++games;
        previous = &rom.game;
        const auto key = std::make_pair(rom.crc32, rom.size);
        if (!games_.contains(key))
            games_.insert(key, KnownGame{rom.game, database});
    }
    if (contents.headers.empty() && unnamed < 0)
        databases_.push_back(DatHeader{fallbackName, QString()});  // read, and empty
    return games;
}

const KnownGame *GameDatabase::find(const RomKey &key) const
{
    if (!key.isValid())
        return nullptr;
    const auto found = games_.constFind(std::make_pair(key.crc32, key.size));
    return found == games_.constEnd() ? nullptr : &found.value();
}

QString GameDatabase::databaseText(int database) const
{
    if (database < 0 || size_t(database) >= databases_.size())
        return QString();
    const DatHeader &header = databases_[size_t(database)];
    return header.version.isEmpty() ? header.name : header.name + QStringLiteral(" (") + header.version + QLatin1Char(')');
}

QString entryTitleOfGame(const QString &name)
{
    QString title = name;
    title.removeIf(isUnsafeCharacter);
    return title;
}

QString userDatFolder()
{
    return userDataHome() + QStringLiteral("/vantorix/dat");
}

QStringList gameDatabaseFiles(const QStringList &extra)
{
    QStringList files = extra;
    // The user's data folder comes first among the standard ones, then
    // $XDG_DATA_DIRS; Debian's mGBA list lies in one of those.
    // A relative folder among them names no place (the XDG rules).
    QStringList folders{userDataHome()};
    for (const QString &folder : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        if (folder.startsWith(QLatin1Char('/')))
            folders.append(folder);
    folders.removeDuplicates();
    for (const QString &folder : folders) {
        const QDir dats(folder + QStringLiteral("/vantorix/dat"));
        for (const QString &name : dats.entryList({QStringLiteral("*.dat"), QStringLiteral("*.xml")}, QDir::Files,
                                                  QDir::Name))
            files.append(dats.filePath(name));
    }
    for (const QString &folder : folders) {
        const QString mgba = folder + QStringLiteral("/mgba/nointro.dat");
        if (QFileInfo(mgba).isFile()) {
            files.append(mgba);
            break;
        }
    }
    return files;
}

namespace {

// Read into memory, not mapped: a DAT the user rewrites while it is read
// (cp truncates it first) would make a mapping fault; a copy read at once
// is only damaged text, which the reader names.
DatContents readDatFile(const QString &path)
{
    return readDat(readWholeFile(path, kMaxDatBytes));
}

}  // namespace

LoadedGameDatabases loadGameDatabases(const QStringList &files)
{
    LoadedGameDatabases loaded;
    for (const QString &file : files) {
        const QString shown = displayPath(file);
        try {
            const DatContents contents = readDatFile(file);
            loaded.database.add(contents, QFileInfo(shown).completeBaseName());
            // Once a file: where the first broken game is, and how many.
            if (!contents.skipped.empty())
                loaded.gamesLeftOut.append(shown + QLatin1Char(':') + QString::number(contents.skipped.front().line)
                                           + QStringLiteral(": ") + contents.skipped.front().reason
                                           + QCoreApplication::translate("GameDatabase", " (%n game(s))", nullptr,
                                                                         int(contents.skipped.size())));
        } catch (const IoError &error) {
            loaded.problems.append(shown + QStringLiteral(": ") + error.text());
        } catch (const DatError &error) {
            loaded.problems.append(shown + QLatin1Char(':') + QString::number(error.line()) + QStringLiteral(": ")
                                   + error.reason());
        }
    }
    return loaded;
}

int copyUserDatabase(const QString &path, QString *databaseName, int *roms)
{
    const QByteArray bytes = readWholeFile(path, kMaxDatBytes);
    const DatContents contents = readDat(bytes);
    GameDatabase alone;
    const QString base = QFileInfo(displayPath(path)).completeBaseName();
    const int games = alone.add(contents, base);
    // A file of which no game can be read names nothing: not kept.
    if (games == 0)
        throw DatError(0, QCoreApplication::translate("GameDatabase", "no game in it can be read"));
    if (databaseName)
        *databaseName = alone.databaseText(0);
    if (roms)
        *roms = int(contents.roms.size());
    // Under a name of its own: a file of the same name stays.
    const QString folder = userDatFolder();
    makeFolders(folder);
    const QString suffix = QFileInfo(path).suffix().toLower() == QLatin1String("xml") ? QStringLiteral(".xml")
                                                                                      : QStringLiteral(".dat");
    QString target = folder + QLatin1Char('/') + QFileInfo(path).completeBaseName() + suffix;
    for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n)
        target = folder + QLatin1Char('/') + QFileInfo(path).completeBaseName() + QStringLiteral(" (%1)").arg(n) + suffix;
    writeFileAtomically(target, bytes);
    return games;
}

}  // namespace vantorix
