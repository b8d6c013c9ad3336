#pragma once

#include "reading/RomListing.h"
#include "platform/TaskLine.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace vantorix {

class Catalogue;

// What the ROMS reader reads of a folder, off the window's thread on the
// catalogue's executor: its listing (a walk of its subfolders may take
// seconds on a slow drive), then the header pass over the listed files.
// What is found comes back to this object's thread in batches, a few times
// a second; a new request, cancel() or the end of this object stops the one
// under way, whose later batches are dropped.
class FolderReading : public QObject {
    Q_OBJECT
public:
    // A file to convert: its row in the list, its path below the folder (as
    // on disk), and the name part of its entry (empty: made from the name).
    struct Item {
        int row;
        QByteArray fileName;
        QString entryName;
    };
    // A row the pass rewrote: its entry, or why its file cannot be read.
    struct Row {
        int row;
        QString text;
        bool failed;
    };
    struct Listed {
        std::function<void(const QStringList &shownPaths)> found;  // as folders are read
        std::function<void(RomListing &listing)> done;
        std::function<void(const QString &reason)> failed;  // the folder cannot be listed
    };
    struct Converted {
        std::function<void(const QList<Row> &rows, int read, int total)> rows;
        // failures: "NAME: reason" of each file that could not be read.
        std::function<void(const QStringList &failures, bool cacheBusy)> done;
    };

    explicit FolderReading(Catalogue &catalogue, QObject *parent = nullptr);
    ~FolderReading() override;

    void list(const QString &folder, const QString &mask, const ListingScope &scope, Listed callbacks);
    // Converts the items of folder into entries named namePrefix and their
    // entry name; with names, games the databases know get their names.
    void convert(const QString &folder, std::vector<Item> items, const QString &namePrefix, bool names,
                 Converted callbacks);
    void cancel();
    bool isBusy() const { return busy_; }

private:
    // Runs work on the executor as the one task under way: what it hands
    // back arrives unless a newer task began meanwhile.
    void start(std::function<void(const TaskLine::Control &)> work);

    Catalogue &catalogue_;
    TaskLine *line_;
    bool busy_ = false;
};

}  // namespace vantorix
