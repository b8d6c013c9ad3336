#include "catalogue/FolderBrowser.h"

#include "app/ErrorBox.h"
#include "app/IoError.h"
#include "catalogue/FileListing.h"

#include <QDir>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QStorageInfo>

#include <algorithm>

using vantorix::IoError;

namespace {

constexpr int kPathRole = Qt::UserRole;

bool isPseudoFileSystem(const QStorageInfo &volume)
{
    static const QByteArray pseudo[] = {
        "proc", "sysfs", "devtmpfs", "devpts", "cgroup", "cgroup2", "securityfs", "pstore",
        "bpf", "tracefs", "debugfs", "mqueue", "hugetlbfs", "configfs", "fusectl", "autofs",
        "binfmt_misc", "efivarfs", "nsfs", "rpc_pipefs", "fuse.portal", "ramfs",
    };
    const QByteArray type = volume.fileSystemType();
    if (std::find(std::begin(pseudo), std::end(pseudo), type) != std::end(pseudo))
        return true;
    const QString root = volume.rootPath();
    for (const char *system : {"/proc", "/sys", "/dev", "/run"}) {
        const QString prefix = QString::fromLatin1(system);
        if ((root == prefix || root.startsWith(prefix + QLatin1Char('/')))
            && !root.startsWith(QLatin1String("/run/media/")))
            return true;
    }
    return false;
}

}  // namespace

// ---------------------------------------------------------------- file list

FileListBox::FileListBox(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(this, &QListWidget::currentRowChanged, this, [this] {
        if (!filling_)
            Q_EMIT changed();
    });
}

void FileListBox::setDirectory(const QString &folder)
{
    if (filled_ && folder == directory_)
        return;
    directory_ = folder;
    refill();
}

void FileListBox::setMask(const QString &mask)
{
    if (mask == mask_)
        return;
    mask_ = mask;
    if (!directory_.isEmpty())
        refill();
}

void FileListBox::refill()
{
    QStringList names;
    try {
        if (!QDir::setCurrent(directory_))
            vantorix::checkFolderListable(directory_);
        names = vantorix::listMatchingFiles(directory_, mask_);
    } catch (const IoError &error) {
        vantorix::reportError(error.text());
    }
    {
        const QScopedValueRollback<bool> guard(filling_, true);
        clear();
        addItems(names);
    }
    filled_ = true;
    Q_EMIT changed();
}

// -------------------------------------------------------------- folder list

DirectoryListBox::DirectoryListBox(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemDoubleClicked, this, &DirectoryListBox::openItem);
}

void DirectoryListBox::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
        openItem(currentItem());
        return;
    }
    QListWidget::keyPressEvent(event);
}

void DirectoryListBox::openItem(QListWidgetItem *item)
{
    if (item)
        openFolder(item->data(kPathRole).toString());
}

bool DirectoryListBox::openFolder(const QString &folder)
{
    const QString path = QDir::cleanPath(QDir(folder).absolutePath());
    try {
        vantorix::checkFolderListable(path);
    } catch (const IoError &error) {
        vantorix::reportError(error.text());
        return false;
    }
    if (path == directory_ && fileList_ && fileList_->isFilled())
        return true;
    directory_ = path;
    fill();
    Q_EMIT directoryChanged(directory_);
    if (fileList_)
        fileList_->setDirectory(directory_);
    return true;
}

void DirectoryListBox::fill()
{
    clear();
    // The path from the root down: "/", then each folder, indented.
    QStringList parts = directory_.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString path = QStringLiteral("/");
    auto addFolder = [this](const QString &label, const QString &target, int depth) {
        auto *item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + label, this);
        item->setData(kPathRole, target);
        return item;
    };
    QListWidgetItem *current = addFolder(QStringLiteral("/"), path, 0);
    int depth = 1;
    for (const QString &part : parts) {
        path = QDir::cleanPath(path + QLatin1Char('/') + part);
        current = addFolder(part, path, depth++);
    }
    QFont bold = current->font();
    bold.setBold(true);
    current->setFont(bold);
    const QStringList subfolders = QDir(directory_).entryList(
        QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString &name : subfolders)
        addFolder(name, QDir(directory_).filePath(name), depth);
    setCurrentItem(current);
}

// ----------------------------------------------------------- drive selector

DriveComboBox::DriveComboBox(QWidget *parent) : QComboBox(parent)
{
    QStringList roots{QStringLiteral("/")};
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && !isPseudoFileSystem(volume))
            roots.append(volume.rootPath());
    }
    roots.removeDuplicates();
    std::sort(roots.begin(), roots.end());
    for (const QString &root : roots) {
        const QStorageInfo volume(root);
        const QString name = volume.displayName();
        addItem(name.isEmpty() || name == root ? root : root + QStringLiteral("  [") + name + QLatin1Char(']'),
                root);
    }
    connect(this, qOverload<int>(&QComboBox::activated), this, &DriveComboBox::chooseDrive);
}

void DriveComboBox::setDirList(DirectoryListBox *dirList)
{
    dirList_ = dirList;
    connect(dirList, &DirectoryListBox::directoryChanged, this, &DriveComboBox::showDriveOf);
}

QString DriveComboBox::driveOf(const QString &path) const
{
    QString best = QStringLiteral("/");
    for (int i = 0; i < count(); ++i) {
        const QString root = itemData(i).toString();
        const bool holds = path == root || path.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
        if (holds && root.size() > best.size())
            best = root;
    }
    return best;
}

void DriveComboBox::showDriveOf(const QString &folder)
{
    const QString drive = driveOf(folder);
    lastFolder_.insert(drive, folder);
    const QSignalBlocker blocker(this);
    setCurrentIndex(findData(drive));
}

void DriveComboBox::chooseDrive(int index)
{
    const QString drive = itemData(index).toString();
    const QString listed = dirList_ ? dirList_->directory() : QString();
    if (!dirList_ || drive == driveOf(listed))
        return;
    const QString target = lastFolder_.value(drive, drive);
    if (!dirList_->openFolder(target)) {
        showDriveOf(listed);  // stay on the drive that is listed
        lastFolder_.insert(driveOf(listed), listed);
    }
}

// ---------------------------------------------------------- filter selector

FilterComboBox::FilterComboBox(QWidget *parent) : QComboBox(parent)
{
    connect(this, qOverload<int>(&QComboBox::activated), this, [this] {
        if (fileList_)
            fileList_->setMask(currentMask());
    });
}

void FilterComboBox::setFilterText(const QString &filterText)
{
    const QSignalBlocker blocker(this);
    clear();
    const QStringList parts = filterText.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        addItem(parts.at(i), parts.at(i + 1));
    setCurrentIndex(count() > 0 ? 0 : -1);
}

void FilterComboBox::setFileList(FileListBox *fileList)
{
    fileList_ = fileList;
}
