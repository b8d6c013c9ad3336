#pragma once

#include <QComboBox>
#include <QHash>
#include <QListWidget>

// The ROMS reader's folder browser: a drive selector, a folder list, a file
// list filtered by a mask and a filter selector, linked so that choosing a
// drive or folder lists its files and makes it the process's current folder.

// The plain files of the listed folder that match the mask.
class FileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit FileListBox(QWidget *parent = nullptr);

    const QString &directory() const { return directory_; }
    const QString &mask() const { return mask_; }
    bool isFilled() const { return filled_; }

    // Each refills the list when the value differs from the current one.
    void setDirectory(const QString &folder);
    void setMask(const QString &mask);

    // Makes the listed folder the current folder, fills the list with the
    // matching file names and sends the change notification.
    void refill();

Q_SIGNALS:
    // After every refill, and when the user changes the selected item.
    void changed();

private:
    QString directory_;
    QString mask_ = QStringLiteral("*.gb");
    bool filled_ = false;
    bool filling_ = false;
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

Q_SIGNALS:
    void directoryChanged(const QString &folder);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void openItem(QListWidgetItem *item);
    void fill();

    QString directory_;
    FileListBox *fileList_ = nullptr;
};

// The machine's file-system roots and mount points.
class DriveComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit DriveComboBox(QWidget *parent = nullptr);

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
