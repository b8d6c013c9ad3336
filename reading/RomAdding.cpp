#include "reading/RomAdding.h"

#include "rom/GameListEntry.h"
#include "rom/GamesFolder.h"
#include "reading/HeaderPass.h"
#include "rom/RomFolder.h"
#include "reading/RomListing.h"
#include "names/StartableRom.h"
#include "settings/Configuration.h"
#include "settings/ConfigurationFile.h"
#include "settings/TextFile.h"
#include "settings/UserSettings.h"
#include "platform/FilePath.h"
#include "platform/IoError.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <climits>

namespace vantorix {

namespace {

// How long --add waits for another program's change of the same file.
constexpr int kLockWaitMs = 10'000;

// The one file of a folder's listing the pass converts.
class OneFile : public EntryList {
public:
    OneFile(const RomListing &listing, size_t index) : listing_(listing), index_(index) {}
    int count() const override { return 1; }
    QString text(int) const override { return text_; }
    void setText(int, const QString &text) override { text_ = text; }
    QByteArray fileName(int) const override { return listing_.paths.at(index_); }
    QString entryName(int) const override { return listing_.entryName(index_); }
    bool isConverted(int) const override { return !text_.isEmpty(); }

private:
    const RomListing &listing_;
    size_t index_;
    QString text_;
};

}  // namespace

QString readerEntryOf(const QString &rom, const QString &gamesDirectory, Catalogue *names)
{
    // Found in its folder's listing, so that a name shared but for letter
    // case keeps its own.
    const QString path = absolutePath(rom);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const RomFolder folder(slash == 0 ? QStringLiteral("/") : path.left(slash));
    const RomListing listing = listRoms(folder, QStringLiteral("*"), ListingScope());
    const QByteArray name = encodePath(path.mid(slash + 1));
    const auto found = std::find(listing.paths.begin(), listing.paths.end(), name);
    if (found == listing.paths.end())
        throw IoError::fromErrno(ENOENT);
    OneFile one(listing, size_t(found - listing.paths.begin()));
    const std::vector<HeaderPassFailure> failures =
        runHeaderPass(one, folder, {}, entryPrefixFor(gamesDirectory, folder.path()), names);
    if (!failures.empty())
        throw failures.front().error;
    return one.text(0);
}

bool entryHoldsBack(const QString &entry)
{
    return TextFileReader(encodeLines({entry})).readLine() == entry;
}

ListedFiles::ListedFiles(const QStringList &entries, const QString &gamesDirectory)
{
    const GamesFolder games(gamesDirectory);
    for (const QString &entry : entries)
        if (!isBlankEntry(entry) && !isUserSelection(entry))
            insert(games.find(romFileName(entry)));
}

bool ListedFiles::insert(const QString &path)
{
    FileIdentity identity;
    if (path.isEmpty() || !fileIdentity(path, &identity))
        return true;
    const std::pair<quint64, quint64> key{quint64(identity.device), quint64(identity.inode)};
    if (identities_.contains(key))
        return false;
    identities_.insert(key);
    return true;
}

GameListAddition prepareGameListAddition(const QStringList &gameList, const QString &gamesDirectory,
                                         const QList<GameToAdd> &games, Catalogue *names, int limit)
{
    GameListAddition addition;
    ListedFiles listed(gameList, gamesDirectory);
    for (const GameToAdd &game : games) {
        if (!listed.insert(game.file)) {
            addition.alreadyListed.append(displayPath(game.file));
            continue;
        }
        if (gameList.size() + addition.entries.size() >= limit) {
            ++addition.overLimit;
            continue;
        }
        try {
            const QString entry = game.entry.isEmpty() ? readerEntryOf(game.file, gamesDirectory, names) : game.entry;
            if (!entryHoldsBack(entry))
                throw IoError(IoError::InvalidFilename, QCoreApplication::translate(
                                                            "RomAdding", "the game list cannot hold a name with a line break"));
            addition.entries.append(entry);
        } catch (const IoError &error) {
            addition.refused.append(displayPath(game.file) + QStringLiteral(": ") + error.text());
        }
    }
    return addition;
}

RomAdding addRomsToConfiguration(const QString &configPath, const QStringList &roms, Catalogue &catalogue)
{
    RomAdding result;
    // The headers are read before the lock is taken: it is held only for
    // the moment of reading, adding and writing.
    const QString games = readConfigurationFile(configPath).gamesDirectory;
    Catalogue *names = UserSettings().namesFromDatabases() ? &catalogue : nullptr;
    QList<GameToAdd> candidates;
    for (const QString &rom : roms) {
        const QString shown = displayPath(rom);
        try {
            if (!isRomFile(rom)) {
                result.refused.append(shown + QStringLiteral(": ")
                                      + QCoreApplication::translate("RomAdding", "not a Game Boy ROM"));
                continue;
            }
            candidates.append({absolutePath(rom), readerEntryOf(rom, games, names)});
        } catch (const IoError &error) {
            result.refused.append(shown + QStringLiteral(": ") + error.text());
        }
    }
    if (candidates.isEmpty())
        return result;
    const ConfigurationLock lock(configPath, kLockWaitMs);
    Configuration config = readConfigurationFile(configPath);
    if (config.gamesDirectory != games)
        throw IoError(IoError::AccessDenied,
                      QCoreApplication::translate("RomAdding", "the configuration's games directory changed meanwhile"));
    // The whole addition or none: a list that would pass its limit is left
    // as it is.
    const GameListAddition addition =
        prepareGameListAddition(config.gameList, config.gamesDirectory, candidates, names, INT_MAX);
    result.refused += addition.refused;
    result.alreadyListed = addition.alreadyListed;
    const QStringList &entries = addition.entries;
    if (entries.isEmpty())
        return result;
    if (config.entriesLeftOut > 0) {
        result.refused.append(QCoreApplication::translate(
            "RomAdding", "the configuration holds more games than its list takes: it is left as it is"));
        return result;
    }
    if (config.gameList.size() + entries.size() > kPlaylistLimit) {
        result.refused.append(
            QCoreApplication::translate("RomAdding", "the game list would hold more than %1 games").arg(kPlaylistLimit));
        return result;
    }
    config.gameList += entries;
    writeConfigurationFile(configPath, config);
    result.added = int(entries.size());
    return result;
}

}  // namespace vantorix
