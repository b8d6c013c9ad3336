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

#include <cerrno>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

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
        listed_.push_back(ListedRom{rom.game, rom.crc32, rom.size, database});
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

// Whether the file at path is the package manager's, which replaces a file
// by renaming a new one over it and never rewrites one in place.
bool isInstalledBySystem(const QString &path)
{
    return path.startsWith(QLatin1String("/usr/"));
}

// A DAT the user rewrites while it is read (cp truncates it first) would
// make a mapping of it fault: the user's DATs are read into memory, where
// a change meanwhile is only damaged text, which the reader names. That
// memory is mapped with its pages made at once: megabytes of fresh pages
// touched one by one cost a page fault each, which on a virtual machine is
// most of the reading. The system's DATs (Debian's No-Intro list) are
// mapped, which copies nothing at all.
DatContents readDatFile(const QString &path)
{
    struct stat st;
    const FileDescriptor fd = openForReading(path, &st);
    if (!S_ISREG(st.st_mode))
        throw IoError::notRegularFile();
    if (st.st_size > kMaxDatBytes)
        throw IoError::fileTooLarge();
    if (st.st_size == 0)
        return readDat(QByteArray());
    const size_t size = size_t(st.st_size);
    struct Unmap {
        void *at;
        size_t size;
        ~Unmap() { ::munmap(at, size); }
    };
    if (isInstalledBySystem(path)) {
        void *mapped = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd.get(), 0);
        if (mapped != MAP_FAILED) {
            const Unmap unmap{mapped, size};
            return readDat(QByteArray::fromRawData(static_cast<const char *>(mapped), qsizetype(size)));
        }
    }
    void *memory = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (memory == MAP_FAILED)
        return readDat(readWholeFile(path, kMaxDatBytes));
    const Unmap unmap{memory, size};
    char *bytes = static_cast<char *>(memory);
    size_t got = 0;
    while (got < size) {
        const ssize_t n = ::pread(fd.get(), bytes + got, size - got, off_t(got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw IoError::fromErrno(errno);
        if (n == 0)
            break;  // cut short meanwhile: what was there
        got += size_t(n);
    }
    return readDat(QByteArray::fromRawData(bytes, qsizetype(got)));
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
