#include "app/RomAdding.h"

#include "app/GamesFolder.h"
#include "catalogue/HeaderPass.h"
#include "catalogue/RomFolder.h"
#include "catalogue/RomListing.h"
#include "catalogue/StartableRom.h"
#include "config/Configuration.h"
#include "config/LastConfiguration.h"
#include "platform/FilePath.h"
#include "platform/IoError.h"
#include "platform/WholeFile.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>

namespace vantorix {

namespace {

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

QString readerEntryOf(const QString &rom, const QString &gamesDirectory, Catalogue &catalogue)
{
    // Found in its folder's listing, so that a name shared but for letter
    // case keeps its own.
    const QString path = absolutePath(rom);
    const QFileInfo info(path);
    const RomFolder folder(info.absolutePath());
    const RomListing listing = listRoms(folder, QStringLiteral("*"), ListingScope());
    const QByteArray name = encodePath(info.fileName());
    const auto found = std::find(listing.paths.begin(), listing.paths.end(), name);
    if (found == listing.paths.end())
        throw IoError::fromErrno(ENOENT);
    OneFile one(listing, size_t(found - listing.paths.begin()));
    const std::vector<HeaderPassFailure> failures =
        runHeaderPass(one, folder, {}, entryPrefixFor(gamesDirectory, folder.path()), &catalogue);
    if (!failures.empty())
        throw failures.front().error;
    return one.text(0);
}

int addRomsToConfiguration(const QString &configPath, const QStringList &roms, Catalogue &catalogue,
                           QStringList *refused)
{
    Configuration config = parseConfiguration(readWholeFile(configPath));
    int added = 0;
    for (const QString &rom : roms) {
        const QString shown = displayPath(rom);
        try {
            if (!isRomFile(rom)) {
                refused->append(shown + QStringLiteral(": ")
                                + QCoreApplication::translate("RomAdding", "not a Game Boy ROM"));
                continue;
            }
            config.gameList.append(readerEntryOf(rom, config.gamesDirectory, catalogue));
            ++added;
        } catch (const IoError &error) {
            refused->append(shown + QStringLiteral(": ") + error.text());
        }
    }
    if (config.gameList.size() > kPlaylistLimit) {
        refused->append(QCoreApplication::translate("RomAdding", "the game list would hold more than %1 games")
                            .arg(kPlaylistLimit));
        return 0;
    }
    if (added > 0 && config.entriesLeftOut == 0)
        writeFileAtomically(configPath, serializeConfiguration(config));
    else if (added > 0)
        refused->append(QCoreApplication::translate("RomAdding", "the configuration holds more games than its list"
                                                                 " takes: it is left as it is"));
    return config.entriesLeftOut == 0 ? added : 0;
}

}  // namespace vantorix
