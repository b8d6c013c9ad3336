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
    // when there is none, and for "." and ".." parts.
    QString find(const QString &fileName) const;

private:
    struct Listing;
    const Listing &listing(const QString &relativeFolder) const;

    QString directory_;
    mutable QHash<QString, std::shared_ptr<Listing>> listings_;  // relative folder on disk -> its names
};

// The folder's path below the games directory with a closing "/", as
// entries write it ("MONO/", "HANDHELD COLOR/"; a folder with a twin but for
// letter case as on disk, "Mono/"), both compared after resolving ".." and
// symbolic links; empty when folder is the directory itself or lies
// outside it.
QString gamesRelativePrefix(const QString &gamesDirectory, const QString &folder);

}  // namespace vantorix
