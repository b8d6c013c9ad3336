#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

#include <functional>
#include <utility>
#include <vector>

namespace vantorix {

class RomFolder;

// How far a listing reaches: the folder alone, or its subfolders too,
// within bounds that no real collection meets and that keep a link loop,
// a mount of the whole disk or a maze of folders from running on.
struct ListingScope {
    bool subfolders = false;
    int maxDepth = 32;
    size_t maxFiles = 100'000;
    // Whether a walk's files come sorted as names are shown, with their
    // case twins found (the ROMS reader and the scan's entries); the
    // library sorts by its own keys and needs neither.
    bool asShown = true;
    // Told of each folder's matching files as the walk reads them (paths
    // below the listed folder, in no order); false stops the walk.
    std::function<bool(const std::vector<QByteArray> &found)> onFolder;
};

// The matching files of a folder (and of its subfolders), as the ROMS
// reader and the scan list them: sorted as names are shown, each with the
// name part its entry gets.
struct RomListing {
    // Paths below the listed folder ("SPORTS/Tennis/tennis.gb" in a walk,
    // bare names otherwise), as on disk.
    std::vector<QByteArray> paths;
    // Folders that could not be read or lay too deep: path shown, reason.
    std::vector<std::pair<QString, QString>> skipped;
    bool cutShort = false;  // more files than the scope may list
    bool stopped = false;   // onFolder asked to stop: the listing is partial

    // The name part of file i's entry: its folders as entries write them
    // (in capitals unless a twin but for letter case stands beside them),
    // then its name in capitals, or as on disk when another file of its
    // folder has the same name but for letter case.
    QString entryName(size_t i) const;
    // The same in bytes, as the scan prints it (control characters as
    // "?"), for a path in ASCII without twins; false otherwise.
    bool asciiEntryName(size_t i, QByteArray *bytes) const;

    QHash<QByteArray, QString> entryPrefixes;  // folder path "A/b/" -> "A/B/"
    QSet<QString> twins;                        // case-folded shown paths
};

// Throws IoError when the folder itself cannot be listed.
RomListing listRoms(const RomFolder &folder, const QString &mask, const ListingScope &scope);

}  // namespace vantorix
