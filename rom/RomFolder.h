#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

namespace vantorix {

// What a walk through a folder and its subfolders found.
struct FolderTree {
    // The matching files: paths below the walked folder, "/" between
    // parts, as on disk, in no particular order.
    std::vector<QByteArray> files;
    // Each folder entered, as its path below the walked folder with a
    // closing "/" ("" the walked folder itself), mapped to that path as
    // entries write it: each part in capitals, unless its parent holds
    // another folder of that name but for letter case (a twin), when it
    // stays as on disk.
    QHash<QByteArray, QString> entryPrefixes;
    // Folders left out (unreadable, or too deep), by their path below the
    // walked folder, with the reason.
    std::vector<std::pair<QByteArray, QString>> skipped;
    // The walk stopped once it had found the most files it may list.
    bool cutShort = false;
    // The one who walked asked it to stop.
    bool stopped = false;
};

// Folders as entries write them: each in capitals, unless another folder
// beside it has the same name but for letter case (a twin), when it stays
// as on disk, so that the launch finds exactly this one. siblings are the
// raw names of the folders beside it (itself among them).
class FolderEntryParts {
public:
    explicit FolderEntryParts(const std::vector<QByteArray> &siblings);
    // "NAME/" for the folder of this raw name.
    QString partOf(const QByteArray &name) const;

private:
    QHash<QString, int> alike_;  // letter-case key -> how many share it
};

// A folder of ROM files, held open: it is listed and its files are read
// through its descriptor, never through the process's current folder, so a
// later change of the current folder cannot make it read other files.
class RomFolder {
public:
    // Every listing stops after this many entries.
    static constexpr size_t kMaxListedEntries = 2'000'000;

    // Opens path (empty: the current folder). Throws IoError when the folder
    // cannot be listed, or can be listed but not entered.
    explicit RomFolder(const QString &path);
    ~RomFolder();
    RomFolder(const RomFolder &) = delete;
    RomFolder &operator=(const RomFolder &) = delete;

    int fd() const { return fd_; }
    const QString &path() const { return path_; }

    // The plain files whose names match mask (see maskPatterns), letter case
    // ignored, hidden files left out, as raw names sorted alphabetically
    // without regard to letter case. Throws IoError.
    std::vector<QByteArray> matchingFiles(const QString &mask) const;

    // Its plain files and its folders (links to either too), hidden ones
    // included, as raw names in no particular order, in one listing.
    void listFilesAndFolders(std::vector<QByteArray> *files, std::vector<QByteArray> *folders) const;

    // The matching files of the folder and of all its subfolders, hidden
    // ones left out, down to maxDepth folders below it and at most maxFiles
    // of them. A folder reached twice (a link to a folder walked already, a
    // loop of links) is walked once. Throws IoError only when the folder
    // itself cannot be listed.
    // onFolder, when given, is told of the files found in each folder as
    // it is read, and stops the walk by returning false.
    FolderTree matchingTree(const QString &mask, int maxDepth, size_t maxFiles,
                            const std::function<bool(const std::vector<QByteArray> &)> &onFolder = {}) const;

    // The folders in it (links to folders too), hidden ones left out, as
    // path texts (see decodePath), sorted like the files.
    QStringList subfolders() const;

private:
    template <typename Keep>
    std::vector<QByteArray> list(Keep keep) const;

    int fd_ = -1;
    QString path_;
};

}  // namespace vantorix
