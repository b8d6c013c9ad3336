#pragma once

#include "platform/IoError.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace vantorix {

class Catalogue;
class RomFolder;
class Executor;

// The list a header pass rewrites in place.
class EntryList {
public:
    virtual ~EntryList() = default;
    virtual int count() const = 0;
    virtual QString text(int index) const = 0;
    // Replaces the text at the same position, keeping the selection and
    // notifying nobody.
    virtual void setText(int index, const QString &text) = 0;
    // The file name an unconverted item stands for, as bytes; by default
    // its text (see encodePath).
    virtual QByteArray fileName(int index) const;
    // The name part the item's entry gets, below namePrefix, when the list
    // knows it (a listing of subfolders); empty: made from its text.
    virtual QString entryName(int) const { return QString(); }
    // An item known to hold an entry already, or known to fail, is not
    // looked up again.
    virtual bool isConverted(int) const { return false; }
    // The file of this item could not be read, for this reason.
    virtual void setFailed(int, const QString &) {}
    // Asked before each item: true ends the pass there.
    virtual bool cancelled() const { return false; }
};

// The pass over a plain list of texts, held by value.
class TextEntryList : public EntryList {
public:
    QStringList items;
    int count() const override { return int(items.size()); }
    QString text(int index) const override { return items.at(index); }
    void setText(int index, const QString &text) override { items[index] = text; }
};

// A file the pass could not read, with the reason.
struct HeaderPassFailure {
    int index;
    QString fileName;
    IoError error;
};

// The names, case-folded, that stand more than once among names (sorted
// without regard to letter case, as folders are listed): files whose names
// differ only in letter case.
QSet<QString> caseTwins(const QStringList &names);
// The same of a folder's raw file names, shown as displayPath shows them;
// ASCII neighbours are compared without decoding.
QSet<QString> caseTwins(const std::vector<QByteArray> &names);

// The file name an entry shows: upper-cased, unless another file of the
// folder has the same name but for letter case (a twin), when it stays as
// on disk so that the launch finds exactly this file.
QString entryNameFor(const QString &shownName, const QSet<QString> &twins);

// Converts every item that names a regular file in folder into its game
// list entry, whose file name is namePrefix (a folder path ending in "/",
// as entries write it, or empty) followed by the item's entry name, or
// its name as entries write it. Items that name no such file,
// converted entries among them, are left alone. A file that cannot be read
// stays as it is, is handed to setFailed and is returned, and the pass goes
// on. progress receives the upper-cased name of each file once it has been
// read. With a catalogue to name them, a game its databases know is titled
// with its name (see entryTitleOfGame), and the keys read go to its hash
// cache, which is waited for at most cacheWaitMs when another program holds
// it (cacheBusy then says so). Files are read ahead on executor's threads
// where one is given (see HeadReader).
std::vector<HeaderPassFailure> runHeaderPass(EntryList &list, const RomFolder &folder,
                                             const std::function<void(const QString &)> &progress = {},
                                             const QString &namePrefix = QString(), Catalogue *names = nullptr,
                                             int cacheWaitMs = 200, bool *cacheBusy = nullptr,
                                             Executor *executor = nullptr);

// The same over the folder at path (empty: the current folder). Throws
// IoError when that folder cannot be opened.
std::vector<HeaderPassFailure> runHeaderPass(EntryList &list, const QString &folder,
                                             const std::function<void(const QString &)> &progress = {},
                                             Executor *executor = nullptr);

}  // namespace vantorix
