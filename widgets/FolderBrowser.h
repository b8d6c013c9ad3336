#pragma once

#include "reading/RomListing.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QHash>
#include <QListWidget>

#include <memory>
#include <vector>

namespace vantorix {
class Catalogue;
class FolderReading;
class RomFolder;
}

// The ROMS reader's folder browser: a drive selector, a folder list, a file
// list filtered by a mask and a filter selector, linked so that choosing a
// drive or folder lists its files and makes it the process's current folder.

// The plain files of the listed folder that match the mask. Each item
// keeps the file's name as bytes and whether the header pass has converted
// it; the listed folder stays open, so that its files are read from it
// whatever the current folder becomes.
class FileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit FileListBox(QWidget *parent = nullptr);
    ~FileListBox() override;

    // The catalogue its folders are listed through (off the window's
    // thread) and the details tool-tips of its files read from. Without
    // one, folders are listed at once.
    void setCatalogue(vantorix::Catalogue &catalogue);
    // Reads the files of the listed folder through the catalogue's
    // executor; null without a catalogue.
    vantorix::FolderReading *reading() const { return reading_; }
    // Whether a listing is under way: the items are the files found so
    // far, in no order, and no pass runs until it ends.
    bool isListing() const { return listingUnderWay_; }

    // Folders are path texts (see decodePath).
    const QString &directory() const { return directory_; }
    // The listed folder; null before the first filling or after a folder
    // could not be listed.
    const vantorix::RomFolder *folder() const { return folder_.get(); }

    // The file's path below the listed folder (its bare name, unless the
    // subfolders are listed), as bytes.
    QByteArray fileName(int row) const;
    // The name part of its entry below the listed folder (see RomListing).
    QString entryName(int row) const;
    bool isConverted(int row) const;
    // Replaces an item's text with its entry and marks it converted.
    void setEntry(int row, const QString &entry);
    // Greys an item whose file cannot be read, with the reason as its
    // tool-tip; no later pass tries it again.
    void setFailed(int row, const QString &reason);
    bool isFailed(int row) const { return !failures_.value(row).isEmpty(); }
    const QString &mask() const { return mask_; }
    bool isFilled() const { return filled_; }
    bool includesSubfolders() const { return subfolders_; }

    // Each refills the list when the value differs from the current one.
    void setDirectory(const QString &folder);
    void setMask(const QString &mask);
    // Lists the files of every subfolder too, each shown with its path
    // below the listed folder.
    void setIncludeSubfolders(bool include);

    // Makes the listed folder the current folder, fills the list with the
    // matching file names and sends the change notification. With a
    // catalogue the files are listed off the window's thread: the list
    // fills as folders are read, and the notification comes at the end.
    void refill();
    // Stops a listing under way; the list keeps what it found.
    void stopListing();

Q_SIGNALS:
    // After every refill, and when the user changes the selected item.
    void changed();

private:
    // Names the folders a listing of subfolders left out.
    void reportLeftOut();
    void takeListing(vantorix::RomListing &listing);

    QString directory_;
    QString mask_ = QStringLiteral("*.gb");
    std::unique_ptr<vantorix::RomFolder> folder_;
    bool subfolders_ = false;
    // By row: the rows never move once filled.
    vantorix::RomListing listing_;
    std::vector<bool> converted_;
    QHash<int, QString> failures_;  // row -> reason
    bool filled_ = false;
    bool filling_ = false;
    bool listingUnderWay_ = false;
    vantorix::FolderReading *reading_ = nullptr;
};

// The path from the root down to the listed folder, then its subfolders.
class DirectoryListBox : public QListWidget {
    Q_OBJECT
public:
    explicit DirectoryListBox(QWidget *parent = nullptr);

    const QString &directory() const { return directory_; }
    void setFileList(FileListBox *fileList) { fileList_ = fileList; }

    // Lists folder and hands it to the file list. A folder that cannot be
    // entered is reported and nothing moves. Returns whether it moved.
    bool openFolder(const QString &folder);
    // Opens the folder above the listed one.
    bool openParent();

Q_SIGNALS:
    void directoryChanged(const QString &folder);

public:
    // Typed letters choose the first folder whose name starts with them,
    // the listed folder's subfolders first; letters typed in quick
    // succession spell one name.
    void keyboardSearch(const QString &search) override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void openItem(QListWidgetItem *item);
    void fill();

    QString typed_;
    QElapsedTimer typedAt_;
    QString directory_;
    FileListBox *fileList_ = nullptr;
};

// The machine's file-system roots and mount points.
class DriveComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit DriveComboBox(QWidget *parent = nullptr);

    // Reads the mounted file systems again (a stick plugged in since).
    void refreshDrives();
    void showPopup() override;

    void setDirList(DirectoryListBox *dirList);
    // Shows the drive that holds folder, notifying nobody.
    void showDriveOf(const QString &folder);
    QString currentDrive() const { return currentData().toString(); }

    // The mount point that holds path, among the drives offered.
    QString driveOf(const QString &path) const;

private:
    void chooseDrive(int index);

    DirectoryListBox *dirList_ = nullptr;
    QHash<QString, QString> lastFolder_;
};

// The filter selector built from a filter text such as
// "Gameboy ROMS (*.gb)|*.gb|All files (*.*)|*.*".
class FilterComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit FilterComboBox(QWidget *parent = nullptr);

    void setFilterText(const QString &filterText);
    void setFileList(FileListBox *fileList);
    QString currentMask() const { return currentData().toString(); }

private:
    FileListBox *fileList_ = nullptr;
};
