#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace vantorix {

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
