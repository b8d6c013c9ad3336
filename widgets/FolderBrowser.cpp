#include "widgets/FolderBrowser.h"

#include "widgets/ErrorBox.h"
#include "platform/FilePath.h"
#include "platform/IoError.h"
#include "widgets/ListItemDelegate.h"
#include "platform/ShownText.h"
#include "names/CartridgeDetails.h"
#include "reading/Catalogue.h"
#include "reading/FolderReading.h"
#include "rom/FileListing.h"
#include "rom/RomFolder.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QStorageInfo>

#include <algorithm>
#include <unistd.h>

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
    // Resting on an item shows what its cartridge header says.
    vantorix::useListItemDelegate(this, 14)->setToolTipSource([this](const QModelIndex &index) {
        if (!folder_ || size_t(index.row()) >= listing_.paths.size())
            return ItemToolTip();  // still being listed
        if (isFailed(index.row()))
            return ItemToolTip{failures_.value(index.row()), QString()};
        return ItemToolTip{QString(),
                           QDir(folder_->path()).absoluteFilePath(vantorix::decodePath(fileName(index.row())))};
    });
    connect(this, &QListWidget::currentRowChanged, this, [this] {
        if (!filling_ && !listingUnderWay_)
            Q_EMIT changed();
    });
}

FileListBox::~FileListBox() = default;

void FileListBox::setCatalogue(vantorix::Catalogue &catalogue)
{
    static_cast<ListItemDelegate *>(itemDelegate())->setDetails(&catalogue);
    delete reading_;
    reading_ = new vantorix::FolderReading(catalogue, this);
}

QByteArray FileListBox::fileName(int row) const
{
    return listing_.paths.at(size_t(row));
}

QString FileListBox::entryName(int row) const
{
    return listing_.entryName(size_t(row));
}

bool FileListBox::isConverted(int row) const
{
    // Items shown while a folder is listed are no listing's yet.
    return size_t(row) < converted_.size() && converted_[size_t(row)];
}

void FileListBox::setEntry(int row, const QString &entry)
{
    item(row)->setText(entry);
    converted_.at(size_t(row)) = true;
}

void FileListBox::setFailed(int row, const QString &reason)
{
    item(row)->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
    failures_.insert(row, reason);
    converted_.at(size_t(row)) = true;
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

void FileListBox::setIncludeSubfolders(bool include)
{
    if (include == subfolders_)
        return;
    subfolders_ = include;
    if (!directory_.isEmpty())
        refill();
}

void FileListBox::refill()
{
    stopListing();
    listing_ = vantorix::RomListing();
    failures_.clear();
    folder_.reset();
    vantorix::ListingScope scope;
    scope.subfolders = subfolders_;
    try {
        folder_ = std::make_unique<vantorix::RomFolder>(directory_);
        // Files opened by bare name elsewhere in the program are looked for
        // in the listed folder.
        if (::fchdir(folder_->fd()) != 0)
            throw IoError::fromErrno(errno);
        if (!reading_)
            listing_ = vantorix::listRoms(*folder_, mask_, scope);
    } catch (const IoError &error) {
        vantorix::reportError(error.text(), directory_);
        folder_.reset();
    }
    if (!reading_ || !folder_) {
        takeListing(listing_);
        return;
    }
    {
        const QScopedValueRollback<bool> guard(filling_, true);
        clear();
    }
    converted_.clear();
    listingUnderWay_ = true;
    vantorix::FolderReading::Listed callbacks;
    callbacks.found = [this](const QStringList &paths) {
        const QScopedValueRollback<bool> guard(filling_, true);
        addItems(paths);
    };
    callbacks.done = [this](vantorix::RomListing &listing) {
        listingUnderWay_ = false;
        vantorix::atHandlerEdge([&] { takeListing(listing); });
    };
    callbacks.failed = [this](const QString &reason) {
        listingUnderWay_ = false;
        vantorix::atHandlerEdge([&] {
            vantorix::reportError(reason, directory_);
            vantorix::RomListing none;
            takeListing(none);
        });
    };
    reading_->list(folder_->path(), mask_, scope, std::move(callbacks));
}

void FileListBox::stopListing()
{
    if (!listingUnderWay_)
        return;
    listingUnderWay_ = false;
    reading_->cancel();
}

void FileListBox::takeListing(vantorix::RomListing &listing)
{
    if (&listing != &listing_)
        listing_ = std::move(listing);
    {
        const QScopedValueRollback<bool> guard(filling_, true);
        clear();
        QStringList shown;
        shown.reserve(qsizetype(listing_.paths.size()));
        for (const QByteArray &name : listing_.paths)
            shown.append(vantorix::displayPath(vantorix::decodePath(name)));
        addItems(shown);
        converted_.assign(listing_.paths.size(), false);
    }
    filled_ = true;
    reportLeftOut();
    Q_EMIT changed();
}

void FileListBox::reportLeftOut()
{
    if (listing_.skipped.empty() && !listing_.cutShort)
        return;
    constexpr size_t kNamed = 5;
    QStringList lines;
    if (listing_.cutShort)
        lines.append(tr("Only the first %n file(s) are listed.", nullptr, int(vantorix::ListingScope().maxFiles)));
    if (!listing_.skipped.empty())
        lines.append(tr("%n folder(s) left out:", nullptr, int(listing_.skipped.size())));
    for (size_t i = 0; i < listing_.skipped.size() && i < kNamed; ++i)
        lines.append(vantorix::shownText(listing_.skipped[i].first, vantorix::kShownPathLength) + QStringLiteral(": ")
                     + listing_.skipped[i].second);
    if (listing_.skipped.size() > kNamed)
        lines.append(QStringLiteral("..."));
    vantorix::showNotice(lines.join(QLatin1Char('\n')));
}

// -------------------------------------------------------------- folder list

DirectoryListBox::DirectoryListBox(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    vantorix::useListItemDelegate(this, 16);
    connect(this, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { vantorix::atHandlerEdge([&] { openItem(item); }); });
}

void DirectoryListBox::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
        openItem(currentItem());
        return;
    }
    if (event->key() == Qt::Key_Backspace) {
        openParent();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void DirectoryListBox::keyboardSearch(const QString &search)
{
    if (search.isEmpty())
        return;
    if (!typedAt_.isValid() || typedAt_.elapsed() > QApplication::keyboardInputInterval())
        typed_.clear();
    typedAt_.start();
    typed_ += search;
    // Items are indented by their depth: the names are what is typed.
    int listed = 0;
    for (int row = 0; row < count(); ++row)
        if (item(row)->data(kPathRole).toString() == directory_)
            listed = row;
    for (int step = 1; step <= count(); ++step) {
        QListWidgetItem *candidate = item((listed + step) % count());
        if (candidate->text().trimmed().startsWith(typed_, Qt::CaseInsensitive)) {
            setCurrentItem(candidate);
            return;
        }
    }
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
        vantorix::checkFolderEnterable(path);
    } catch (const IoError &error) {
        vantorix::reportError(error.text(), path);
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

bool DirectoryListBox::openParent()
{
    if (directory_.isEmpty() || directory_ == QLatin1String("/"))
        return false;
    return openFolder(directory_.left(qMax<qsizetype>(1, directory_.lastIndexOf(QLatin1Char('/')))));
}

void DirectoryListBox::fill()
{
    clear();
    // The path from the root down: "/", then each folder, indented.
    QStringList parts = directory_.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString path = QStringLiteral("/");
    auto addFolder = [this](const QString &label, const QString &target, int depth) {
        auto *item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + vantorix::displayPath(label), this);
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
    QStringList subfolders;
    try {
        subfolders = vantorix::RomFolder(directory_).subfolders();
    } catch (const IoError &) {
        // It was entered a moment ago; a folder that vanished since shows
        // no subfolders.
    }
    const QString prefix = directory_.endsWith(QLatin1Char('/')) ? directory_ : directory_ + QLatin1Char('/');
    for (const QString &name : subfolders)
        addFolder(name, prefix + name, depth);
    setCurrentItem(current);
}

// ----------------------------------------------------------- drive selector

DriveComboBox::DriveComboBox(QWidget *parent) : QComboBox(parent)
{
    refreshDrives();
    connect(this, qOverload<int>(&QComboBox::activated), this,
            [this](int index) { vantorix::atHandlerEdge([&] { chooseDrive(index); }); });
}

void DriveComboBox::showPopup()
{
    refreshDrives();
    QComboBox::showPopup();
}

void DriveComboBox::refreshDrives()
{
    const QString shown = currentDrive();
    const QSignalBlocker blocker(this);
    clear();
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
    setCurrentIndex(qMax(0, findData(shown)));
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
    connect(this, qOverload<int>(&QComboBox::activated), this, vantorix::guarded([this] {
        if (fileList_)
            fileList_->setMask(currentMask());
    }));
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
