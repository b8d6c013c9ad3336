#pragma once

#include <QHash>
#include <QString>

#include <memory>

namespace vantorix {

// The games directory, listed once: where the launch finds the file of an
// entry, and which entries have no file. Names are matched as shown
// (Windows-1252 for names that are not UTF-8) without regard to letter
// case, since entries hold upper-cased names. An entry's name may hold a
// path below the directory ("MONO/A.GB"): each part is found the same way,
// and each folder it passes through is listed once.
class GamesFolder {
public:
    // An empty directory text stands for the current folder.
    explicit GamesFolder(const QString &directory);
    ~GamesFolder();

    // False when the directory does not exist or cannot be listed or
    // entered.
    bool exists() const;

    // The path of the regular file named fileName (a name, or a relative
    // path with "/") in the directory: each part as it stands when it
    // exists, otherwise one whose name differs only in letter case. Empty
    // when there is none, and for "." and ".." parts. An absolute fileName
    // (an entry imported from outside the directory) is found the same way
    // from the root, whatever the directory.
    QString find(const QString &fileName) const;

private:
    struct Listing;
    const Listing &listing(const QString &relativeFolder) const;

    QString directory_;
    mutable std::unique_ptr<GamesFolder> root_;  // for absolute names
    mutable QHash<QString, std::shared_ptr<Listing>> listings_;  // relative folder on disk -> its names
};

// What an imported entry's name part starts with, for the files listed in
// folder. Below the games directory: the folder's path below it with a
// closing "/", as entries write it ("MONO/", "HANDHELD COLOR/"; a folder
// with a twin but for letter case as on disk, "Mono/"), both compared
// after resolving ".." and symbolic links; empty for the directory itself.
// Anywhere else, or while the games directory is no absolute path to a
// folder that exists: the folder's absolute path with a closing "/", so
// that the entry names exactly the listed file from any current folder.
QString entryPrefixFor(const QString &gamesDirectory, const QString &folder);

}  // namespace vantorix
