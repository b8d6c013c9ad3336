#include "reading/RomListing.h"

#include "platform/FilePath.h"
#include "reading/HeaderPass.h"
#include "rom/NameOrder.h"
#include "rom/RomFolder.h"
#include "rom/RomHeader.h"

namespace vantorix {

namespace {

qsizetype folderPartLength(const QByteArray &path)
{
    return path.lastIndexOf('/') + 1;
}

}  // namespace

QString RomListing::entryName(size_t i) const
{
    const QByteArray &path = paths.at(i);
    const qsizetype split = folderPartLength(path);
    const QString name = displayPath(decodePath(path.mid(split)));
    const QString prefix = split == 0 ? QString() : entryPrefixes.value(path.left(split));
    if (!twins.isEmpty() && twins.contains(displayPath(decodePath(path)).toCaseFolded()))
        return prefix + name.trimmed();
    return prefix + entryFileName(name);
}

bool RomListing::asciiEntryName(size_t i, QByteArray *bytes) const
{
    const QByteArray &path = paths.at(i);
    if (!twins.isEmpty() || !isAscii(path))
        return false;
    const qsizetype split = folderPartLength(path);
    // Spaces and control characters around the name go, as entryFileName
    // drops them; letters go up; control characters print as "?".
    qsizetype first = split;
    qsizetype last = path.size();
    while (first < last && uchar(path.at(first)) <= 32)
        ++first;
    while (last > first && uchar(path.at(last - 1)) <= 32)
        --last;
    bytes->clear();
    if (split > 0)
        *bytes += entryPrefixes.value(path.left(split)).toUtf8();
    const qsizetype start = bytes->size();
    bytes->resize(start + (last - first));
    char *out = bytes->data() + start;
    for (qsizetype k = first; k < last; ++k) {
        const char c = path.at(k);
        *out++ = c >= 'a' && c <= 'z' ? char(c - 32) : c;
    }
    for (char &c : *bytes)
        if (c < 0x20 || c == 0x7F)
            c = '?';
    return true;
}

RomListing listRoms(const RomFolder &folder, const QString &mask, const ListingScope &scope)
{
    RomListing listing;
    if (!scope.subfolders) {
        listing.paths = folder.matchingFiles(mask);
        if (scope.onFolder)
            listing.stopped = !scope.onFolder(listing.paths);
    } else {
        FolderTree tree = folder.matchingTree(mask, scope.maxDepth, scope.maxFiles, scope.onFolder);
        listing.stopped = tree.stopped;
        listing.paths = std::move(tree.files);
        if (scope.asShown)
            sortNamesAsShown(listing.paths);
        listing.entryPrefixes = std::move(tree.entryPrefixes);
        for (const auto &[path, reason] : tree.skipped)
            listing.skipped.emplace_back(displayPath(decodePath(path.endsWith('/') ? path.chopped(1) : path)), reason);
        listing.cutShort = tree.cutShort;
    }
    // Sorted without regard to letter case, twins stand side by side; in a
    // walk, files of one folder that differ only in case are twins.
    if (scope.asShown || !scope.subfolders)
        listing.twins = caseTwins(listing.paths);
    return listing;
}

}  // namespace vantorix
