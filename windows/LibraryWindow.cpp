#include "windows/LibraryWindow.h"
#include "windows/OffThread.h"
#include "windows/CoverDelegate.h"
#include "platform/MemoryArenas.h"

#include "widgets/ErrorBox.h"
#include "widgets/PlainText.h"
#include "widgets/ScaledPictures.h"
#include "library/LibraryChanges.h"
#include "library/LibraryKeys.h"
#include "library/MissingGamesModel.h"
#include "names/CartridgeDetails.h"
#include "reading/Catalogue.h"
#include "reading/DetailToolTips.h"
#include "pictures/GamePictures.h"
#include "downloads/PictureDownloads.h"
#include "settings/UserSettings.h"
#include "library/LibraryWatch.h"
#include "platform/FilePath.h"
#include "platform/IoError.h"
#include "platform/ShownText.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>
#include <QScreen>

#include <algorithm>

#include "platform/FileDescriptor.h"

#include <cerrno>
#include <fcntl.h>



LibraryWindow::LibraryWindow(vantorix::Catalogue &catalogue, vantorix::LibraryChanges &changes, LibraryHost &host,
                             QWidget *parent)
    : QWidget(parent, Qt::Window),
      catalogue_(catalogue),
      changes_(changes),
      host_(host),
      model_(new vantorix::LibraryModel(this)),
      filter_(new vantorix::LibraryFilter(this)),
      watch_(new vantorix::LibraryWatch(catalogue, this)),
      wholeLine_(new vantorix::TaskLine(catalogue.executor(), this)),
      missing_(new vantorix::MissingGamesModel(this))
{
    setupUi(this);
    setObjectName(QStringLiteral("LibraryWindow"));
    setAcceptDrops(true);
    filter_->setSourceModel(model_);
    filter_->sortOn(&catalogue);
    TableView->setModel(filter_);
    TableView->horizontalHeader()->setSectionsMovable(true);
    TableView->horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    TableView->horizontalHeader()->setSortIndicator(vantorix::LibraryModel::Name, Qt::AscendingOrder);
    TableView->verticalHeader()->hide();
    TableView->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    TableView->setContextMenuPolicy(Qt::CustomContextMenu);
    // Three long names alike differ at their ends ("... (USA) (Proto 1)"):
    // a name too long for its column loses its middle.
    TableView->setTextElideMode(Qt::ElideMiddle);
    TableView->horizontalHeader()->setResizeContentsPrecision(200);
    MissingView->setModel(missing_);
    MissingView->verticalHeader()->hide();
    MissingView->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    MissingView->setTextElideMode(Qt::ElideMiddle);
    {
        // Games not held: grey, as what cannot be played.
        QPalette grey = MissingView->palette();
        grey.setColor(QPalette::Text, grey.color(QPalette::Disabled, QPalette::Text));
        MissingView->setPalette(grey);
    }
    connect(MissingView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            vantorix::guarded([this] { showMissingGame(); }));
    connect(CollectionBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this](int which) { vantorix::atHandlerEdge([&] { showCollection(which); }); });
    {
        const QStringList regions = vantorix::UserSettings().regionOrder();
        filter_->setRegionOrder(regions.isEmpty() ? vantorix::defaultRegionOrder(QLocale().name()) : regions);
    }
    connect(&changes_, &vantorix::LibraryChanges::savesBackedUp, this,
            [this](int count, const QStringList &failures) {
                StatusLine->setText(failures.isEmpty()
                                        ? tr("%n save(s) backed up.", nullptr, count)
                                        : tr("A save could not be backed up: %1").arg(failures.constFirst()));
                lookForSaves();
            });
    GridView->setContextMenuPolicy(Qt::CustomContextMenu);
    covers_ = new CoverDelegate(catalogue, GridView);
    GridView->setItemDelegate(covers_);
    GridView->viewport()->installEventFilter(this);
    FilterEdit->installEventFilter(this);
    for (QLabel *picture : {BoxArt, TitleScreen, Screenshot})
        picture->hide();
    DownloadBox->hide();
    DownloadQuestion->setText(tr("Download pictures of your games from thumbnails.libretro.com?"));
    NamesBox->hide();
    NamesQuestion->setText(tr("Download the game names for Game Boy and Game Boy Color (No-Intro, from "
                              "libretro-database, about %1 MB)?").arg(2));
    connect(NamesDownload, &QPushButton::clicked, this, vantorix::guarded([this] {
        vantorix::UserSettings().setGameNameDownloads(true);
        NamesBox->hide();
        fetchGameNames(false);
    }));
    connect(NamesNotNow, &QPushButton::clicked, this, [this] { NamesBox->hide(); });  // asked again next start
    connect(NamesNever, &QPushButton::clicked, this, vantorix::guarded([this] {
        vantorix::UserSettings().setGameNameDownloads(false);
        NamesBox->hide();
    }));
    connect(NamesButton, &QPushButton::clicked, this, vantorix::guarded([this] { showGameNames(); }));
    DetailsText->setPlaceholderText(tr("Choose a game to see its details."));
    Splitter->setStretchFactor(0, 3);
    Splitter->setStretchFactor(1, 1);

    connect(FilterEdit, &QLineEdit::textChanged, this, vantorix::guarded([this] { filter_->setText(FilterEdit->text()); }));
    connect(SystemBox, qOverload<int>(&QComboBox::currentIndexChanged), this, vantorix::guarded([this] {
        filter_->setSystem(static_cast<vantorix::LibraryFilter::SystemFilter>(SystemBox->currentIndex()));
    }));
    connect(VerifiedBox, &QCheckBox::toggled, filter_, &vantorix::LibraryFilter::setVerifiedOnly);
    connect(FavouritesBox, &QCheckBox::toggled, filter_, &vantorix::LibraryFilter::setFavouritesOnly);
    connect(RecentBox, &QCheckBox::toggled, this, [this](bool on) {
        vantorix::atHandlerEdge([&] { showRecentFirst(on); });
    });
    connect(GridButton, &QToolButton::toggled, this, [this](bool grid) {
        // The grid lays out every game it holds: it takes them once shown.
        if (grid && !GridView->model()) {
            GridView->setModel(filter_);
            GridView->setModelColumn(vantorix::LibraryModel::Name);
            connect(GridView->selectionModel(), &QItemSelectionModel::currentChanged, this,
                    vantorix::guarded([this] { showCurrentGame(); }));
            GridView->setCurrentIndex(TableView->currentIndex().siblingAtColumn(vantorix::LibraryModel::Name));
        }
        if (CollectionBox->currentIndex() != Missing)
            Views->setCurrentWidget(grid ? static_cast<QWidget *>(GridView) : TableView);
        // The covers' size is the grid's alone: the table leaves the bar its room.
        CoverSlider->setVisible(grid);
    });
    CoverSlider->hide();
    connect(CoverSlider, &QSlider::valueChanged, this, &LibraryWindow::setCoverSize);
    connect(AddFolderButton, &QPushButton::clicked, this, vantorix::guarded([this] {
        const QString folder = QFileDialog::getExistingDirectory(this, tr("Add a folder to the library"), QDir::homePath());
        if (!folder.isEmpty())
            addFolder(folder);
    }));
    connect(RemoveFolderButton, &QPushButton::clicked, this, vantorix::guarded([this] { removeFolder(); }));
    for (QAbstractItemView *view : {static_cast<QAbstractItemView *>(TableView), static_cast<QAbstractItemView *>(GridView)}) {
        connect(view, &QAbstractItemView::activated, this, vantorix::guarded([this, view] { playRow(view->currentIndex().row()); }));
        connect(view, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
            vantorix::atHandlerEdge([&] { showContextMenu(at); });
        });
    }
    connect(TableView->horizontalHeader(), &QWidget::customContextMenuRequested, this, &LibraryWindow::chooseHiddenColumns);
    connect(filter_, &QAbstractItemModel::modelReset, this, &LibraryWindow::updateCaption);
    connect(filter_, &QAbstractItemModel::layoutChanged, this, [this] {
        updateCaption();
        if (chooseWhenSorted_ && !filter_->sorting()) {
            chooseWhenSorted_ = false;
            if (filter_->shownCount() > 0)
                TableView->setCurrentIndex(filter_->index(0, vantorix::LibraryModel::Name));
        }
        // The chosen game filtered out: the pane follows.
        if (currentPath() != panePath_)
            showCurrentGame();
    });
    connect(model_, &QAbstractItemModel::rowsInserted, this, &LibraryWindow::updateCaption);
    connect(filter_, &QAbstractItemModel::modelReset, this, [this] {
        // A new order or filter: the chosen game stays chosen where it is shown.
        showCurrentGame();
    });
    connect(TableView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            vantorix::guarded([this] { showCurrentGame(); }));
    connect(DownloadYes, &QPushButton::clicked, this, vantorix::guarded([this] {
        vantorix::UserSettings().setPictureDownloads(true);
        DownloadBox->hide();
        showCurrentGame();
    }));
    connect(DownloadNo, &QPushButton::clicked, this, vantorix::guarded([this] {
        vantorix::UserSettings().setPictureDownloads(false);
        DownloadBox->hide();
    }));
    connect(watch_, &vantorix::LibraryWatch::placesChanged, this, [this](const QList<vantorix::LibraryPlace> &places) {
        vantorix::atHandlerEdge([&] { readPlaces(places); });
    });
    connect(&changes_, &vantorix::LibraryChanges::storeChanged, this, vantorix::guarded([this] { takeStore(); }));
    connect(&changes_, &vantorix::LibraryChanges::playsWaiting, this, [this](int count, const QString &reason) {
        StatusLine->setText(tr("%n play(s) not counted yet (%1): counted once the library can be written.", nullptr,
                               count)
                                .arg(reason));
    });
    connect(&changes_, &vantorix::LibraryChanges::playsWritten, this, [this] {
        StatusLine->setText(tr("Every play is counted."));
    });
    // Quitting does not wait for a pass over 100,000 files.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { stopPasses(); });
    connect(watch_, &vantorix::LibraryWatch::limitReached, this, [this] {
        StatusLine->setText(tr("Too many folders to watch: the library looks at them every %n second(s).", nullptr,
                               vantorix::LibraryWatch::kPollMs / 1000));
    });
    connect(&catalogue, &vantorix::Catalogue::databasesChanged, this, vantorix::guarded([this] {
        if (started_)
            readFolders({});
    }));

    const std::pair<QKeySequence, std::function<void()>> keys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_F), [this] { FilterEdit->setFocus(); FilterEdit->selectAll(); }},
        {QKeySequence(Qt::CTRL | Qt::Key_D), [this] { toggleFavourite(); }},
        {QKeySequence(Qt::CTRL | Qt::Key_W), [this] { close(); }},
        {QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { host_.quitProgram(); }},
    };
    for (const auto &[sequence, action] : keys)
        connect(new QShortcut(sequence, this), &QShortcut::activated, this, vantorix::guarded(action));
    // Every default column and the pane fit a screen of 1366 x 768.
    resize(1280, 660);
    restoreState();
    updateCaption();
}

LibraryWindow::~LibraryWindow()
{
    stopPasses();
}

void LibraryWindow::stopPasses()
{
    *quitting_ = true;
    wholeLine_->cancel();
    wholeReading_ = false;
}

void LibraryWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (started_)
        return;
    started_ = true;
    keepOnScreen();
    readFolders({});
}

void LibraryWindow::fitColumns()
{
    // Widths follow what the first rows hold, once: a user's own widths,
    // remembered, are kept.
    columnsFitted_ = true;
    TableView->resizeColumnsToContents();
    const int mostForName = qMax(200, TableView->viewport()->width() * 2 / 5);
    if (TableView->columnWidth(vantorix::LibraryModel::Name) > mostForName)
        TableView->setColumnWidth(vantorix::LibraryModel::Name, mostForName);
    for (const int column : {vantorix::LibraryModel::Folder, vantorix::LibraryModel::File})
        TableView->setColumnWidth(column, qMin(TableView->columnWidth(column), 320));
}

void LibraryWindow::keepOnScreen()
{
    // A place remembered from another screen (or a window manager that
    // puts it anywhere): the window comes back onto this one, its title
    // bar within reach.
    const QScreen *shown = screen();
    if (!shown)
        return;
    const QRect room = shown->availableGeometry();
    QRect frame = frameGeometry();
    if (room.contains(frame.topLeft()) && frame.top() < room.bottom() - 48 && frame.left() < room.right() - 48)
        return;
    frame.moveCenter(room.center());
    frame.moveTopLeft(QPoint(qMax(frame.left(), room.left()), qMax(frame.top(), room.top())));
    move(frame.topLeft());
}

void LibraryWindow::hideEvent(QHideEvent *event)
{
    saveState();
    QWidget::hideEvent(event);
}

void LibraryWindow::readFolders(const QStringList &folders)
{
    if (folders.isEmpty()) {
        // The whole library: its folders as the store holds them, read off
        // the window's thread.
        changes_.read(this, [this](const vantorix::LibraryStore &store) {
            model_->setStore(store);
            if (!store.problem.isEmpty())
                StatusLine->setText(vantorix::displayPath(changes_.storePath()) + QStringLiteral(": ") + store.problem);
            watch_->watch(store.folders);
            std::vector<vantorix::LibraryPlace> places;
            for (const QString &folder : store.folders)
                places.push_back({folder, folder, true});
            readWholeLibrary(places);
        });
        return;
    }
    QList<vantorix::LibraryPlace> places;
    for (const QString &folder : folders)
        places.append({folder, folder, true});
    readPlaces(places);
}

void LibraryWindow::readPlaces(const QList<vantorix::LibraryPlace> &places)
{
    // One look at a time, each against the rows the one before left: the
    // places asked meanwhile wait and go together.
    for (const vantorix::LibraryPlace &place : places)
        if (!std::any_of(waitingPlaces_.cbegin(), waitingPlaces_.cend(), [&](const vantorix::LibraryPlace &waiting) {
                return waiting.directory == place.directory && waiting.subfolders == place.subfolders;
            }))
            waitingPlaces_.append(place);
    if (!rescanning_)
        rescanWaitingPlaces();
}

void LibraryWindow::rescanWaitingPlaces()
{
    rescanning_ = !waitingPlaces_.isEmpty();
    if (!rescanning_)
        return;
    const std::vector<vantorix::LibraryPlace> wanted(waitingPlaces_.cbegin(), waitingPlaces_.cend());
    waitingPlaces_.clear();
    // What the rows hold now, taken in a moment: the files still as they
    // were are not read again, and what changed is found off the window's
    // thread.
    auto rows = std::make_shared<const std::vector<vantorix::LibraryListed>>(model_->listed());
    vantorix::Catalogue &catalogue = catalogue_;
    const std::shared_ptr<std::atomic<bool>> quitting = quitting_;
    const quint64 wholePasses = wholePasses_;
    ++reading_;
    offThread<std::shared_ptr<vantorix::LibraryChange>>(
        catalogue_, this,
        [&catalogue, wanted, rows, quitting] {
            auto change = std::make_shared<vantorix::LibraryChange>(
                vantorix::rescanPlaces(wanted, *rows, catalogue, quitting.get()));
            for (vantorix::LibraryGame &game : change->added)
                vantorix::prepareKeys(game);
            return change;
        },
        [this, wholePasses](const std::shared_ptr<vantorix::LibraryChange> &change) {
            --reading_;
            if (*quitting_)
                return;
            // A whole pass begun meanwhile lists these games itself.
            if (wholePasses == wholePasses_)
                model_->applyChange(*change);
            filter_->flush();
            if (!change->problems.isEmpty())
                StatusLine->setText(tr("%n file(s) or folder(s) could not be read, the first: %1", nullptr,
                                       int(change->problems.size()))
                                        .arg(vantorix::displayPath(change->problems.constFirst())));
            updateCaption();
            if (!change->added.empty() || !change->removed.isEmpty())
                lookForSaves();
            rescanWaitingPlaces();
        });
}

void LibraryWindow::readWholeLibrary(const std::vector<vantorix::LibraryPlace> &places)
{
    // A whole pass lists every game anew: the chosen one is chosen again,
    // and at the first opening the one chosen when the library closed.
    QString chosen = currentPath();
    if (chosen.isEmpty())
        chosen = vantorix::decodePath(vantorix::UserSettings().libraryState(QStringLiteral("chosen")).toByteArray());
    ++wholePasses_;
    waitingPlaces_.clear();  // the whole pass reads them
    // The pass before, if any, stops: it hands nothing more back.
    wholeReading_ = true;
    model_->setGames({});
    vantorix::Catalogue &catalogue = catalogue_;
    wholeLine_->start([this, &catalogue, places, chosen](const vantorix::TaskLine::Control &task) {
        // The games go to the rows as they are read.
        QStringList problems;
        vantorix::scanLibraryPlaces(
            places, catalogue, &problems,
            [this, &task](std::vector<vantorix::LibraryGame> &read) {
                // Made into rows here: the window's thread only takes them.
                auto rows = std::make_shared<std::vector<vantorix::LibraryRow>>();
                rows->reserve(read.size());
                for (vantorix::LibraryGame &game : read)
                    rows->emplace_back(std::move(game));
                read.clear();
                task.handBack([this, rows] { model_->appendRows(std::move(*rows)); });
            },
            &task.cancelFlag(), 0);
        task.handBack([this, problems, chosen] {
            vantorix::atHandlerEdge([&] { finishWholePass(problems, chosen); });
        });
    });
}

void LibraryWindow::finishWholePass(const QStringList &problems, const QString &chosen)
{
    wholeReading_ = false;
    // The pass's buffers are free now; what the sort that follows them
    // frees goes back once it is done.
    vantorix::releaseFreeMemory();
    QTimer::singleShot(2000, this, [] { vantorix::releaseFreeMemory(); });
    if (filter_->totalCount() > 0)
        followGameNames();
    filter_->flush();
    if (!columnsFitted_)
        fitColumns();
    if (!problems.isEmpty())
        StatusLine->setText(tr("%n file(s) or folder(s) could not be read, the first: %1", nullptr, int(problems.size()))
                                .arg(vantorix::displayPath(problems.constFirst())));
    lookForSaves();
    if (CollectionBox->currentIndex() == Missing)
        auditLibrary();
    const int row = chosen.isEmpty() ? -1 : model_->rowOf(chosen);
    if (row >= 0) {
        const QModelIndex shown = filter_->mapFromSource(model_->index(row, 0));
        TableView->setCurrentIndex(shown);
        TableView->scrollTo(shown);
        if (GridView->model())
            GridView->setCurrentIndex(shown);
    }
    updateCaption();
}

void LibraryWindow::updateCaption()
{
    const int total = filter_->totalCount();
    const int shown = filter_->shownCount();
    setWindowTitle(shown == total ? tr("Library - %Ln game(s)", nullptr, total)
                                  : tr("Library - %1 of %Ln game(s)", nullptr, total).arg(QLocale().toString(shown)));
}

QString LibraryWindow::currentPath() const
{
    const QAbstractItemView *view = Views->currentWidget() == GridView ? static_cast<QAbstractItemView *>(GridView)
                                                                       : TableView;
    if (!view->model())
        return QString();
    return view->currentIndex().data(vantorix::LibraryModel::PathRole).toString();
}

QList<int> LibraryWindow::selectedRows() const
{
    const QAbstractItemView *view = Views->currentWidget() == GridView ? static_cast<QAbstractItemView *>(GridView)
                                                                       : TableView;
    QList<int> rows;
    for (const QModelIndex &index : view->selectionModel()->selectedIndexes())
        if (!rows.contains(index.row()))
            rows.append(index.row());
    if (rows.isEmpty() && view->currentIndex().isValid())
        rows.append(view->currentIndex().row());
    return rows;
}

void LibraryWindow::playRow(int row)
{
    const QString path = filter_->index(row, 0).data(vantorix::LibraryModel::PathRole).toString();
    if (path.isEmpty())
        return;
    // With the emulator it was last played with, where a slot still holds
    // it; else exactly as the main window's launch: its checked emulator,
    // its rules, its errors.
    const int source = filter_->mapToSource(filter_->index(row, 0)).row();
    host_.playGame(path, source >= 0 ? slotOfEmulator(model_->emulatorOf(source)) : 0);
}

void LibraryWindow::takeStore()
{
    changes_.read(this, [this](const vantorix::LibraryStore &store) { model_->setStore(store); });
}

void LibraryWindow::addFolder(const QString &folder)
{
    const QString clean = QDir::cleanPath(vantorix::absolutePath(folder));
    changes_.change(
        this,
        [clean](const QString &store) {
            // /proc, /sys and /dev hold no games, and their links lead
            // round the whole disk.
            const vantorix::FileDescriptor fd(::open(vantorix::encodePath(clean).constData(),
                                                     O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            if (fd.get() < 0)
                throw vantorix::IoError::fromErrno(errno);
            if (vantorix::isSystemFolder(fd.get()))
                throw vantorix::IoError::systemFolder();
            vantorix::LibraryStore::addFolders({clean}, store);
        },
        [this, clean](const QString &failure) {
            if (!failure.isEmpty()) {
                vantorix::reportError(failure, clean);
                return;
            }
            const vantorix::LibraryStore &before = model_->store();
            const bool samples = std::any_of(before.folders.cbegin(), before.folders.cend(), [&](const QString &f) {
                return before.folderExtra.value(f) == "\tsamples";
            });
            if (samples) {
                readFolders({});  // the sample games gave way to the user's folder
                return;
            }
            watch_->watch(before.folders + QStringList{clean});
            readFolders({clean});
        });
}

void LibraryWindow::removeFolder()
{
    const QStringList folders = model_->store().folders;
    if (folders.isEmpty())
        return;
    QStringList shown;
    for (const QString &folder : folders)
        shown.append(vantorix::displayPath(folder));
    bool chosen = false;
    const QString folder = QInputDialog::getItem(this, tr("Remove a folder from the library"),
                                                 tr("The folder's games leave the library; no file is deleted."), shown,
                                                 0, false, &chosen);
    if (!chosen)
        return;
    const QString removed = folders.value(shown.indexOf(folder));
    changes_.change(
        this, [removed](const QString &store) { vantorix::LibraryStore::removeFolder(removed, store); },
        [this, removed, folders](const QString &failure) {
            if (!failure.isEmpty()) {
                vantorix::reportError(failure, changes_.storePath());
                return;
            }
            QStringList left = folders;
            left.removeAll(removed);
            watch_->watch(left);
            model_->removeFolder(removed);
        });
}

void LibraryWindow::toggleFavourite()
{
    const QString path = currentPath();
    if (path.isEmpty())
        return;
    const int row = model_->rowOf(path);
    const vantorix::RomKey content = row >= 0 ? model_->game(row).content() : vantorix::RomKey();
    const vantorix::ContentOf contentOf = changes_.contentOf();
    changes_.change(
        this,
        [path, content, contentOf](const QString &store) {
            vantorix::LibraryStore::toggleFavourite(path, store, content, contentOf);
        },
        [this](const QString &failure) {
            if (!failure.isEmpty())
                vantorix::reportError(failure, changes_.storePath());
        });
}

void LibraryWindow::showContextMenu(const QPoint &)
{
    const QString path = currentPath();
    if (path.isEmpty())
        return;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("LibraryMenu"));
    for (int slot = 1; slot <= 3; ++slot) {
        const QString emulator = host_.emulatorOfSlot(slot);
        QAction *play = menu.addAction(emulator.isEmpty() ? tr("Play with emulator %1").arg(slot)
                                                          : tr("Play with %1").arg(emulator));
        // The game's own emulator: the one Return and a double click use.
        const int row = model_->rowOf(path);
        play->setCheckable(true);
        play->setChecked(row >= 0 && !emulator.isEmpty() && model_->emulatorOf(row) == emulator);
        connect(play, &QAction::triggered, this, vantorix::guarded([this, path, slot] { host_.playGame(path, slot); }));
    }
    menu.addSeparator();
    connect(menu.addAction(tr("Add to the game list")), &QAction::triggered, this, vantorix::guarded([this] { addToGameList(); }));
    QAction *favourite = menu.addAction(tr("Favourite"));
    favourite->setCheckable(true);
    favourite->setChecked(model_->isFavourite(model_->rowOf(path)));
    favourite->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    connect(favourite, &QAction::triggered, this, vantorix::guarded([this] { toggleFavourite(); }));
    addSaveActions(menu, path);
    connect(menu.addAction(tr("Open the containing folder")), &QAction::triggered, this, [path] {
        QDesktopServices::openUrl(QUrl::fromLocalFile(path.left(path.lastIndexOf(QLatin1Char('/')))));
    });
    connect(menu.addAction(tr("Copy the path")), &QAction::triggered, this, [this, path] { copyPath(path); });
    connect(menu.addAction(tr("Details")), &QAction::triggered, this, [this] {
        DetailsText->setFocus();
        Splitter->setSizes({width() / 2, width() / 2});
    });
    menu.exec(QCursor::pos());
}

void LibraryWindow::chooseHiddenColumns(const QPoint &at)
{
    QMenu menu(this);
    QHeaderView *header = TableView->horizontalHeader();
    for (int column = 0; column < vantorix::LibraryModel::ColumnCount; ++column) {
        QAction *shown = menu.addAction(model_->headerData(column, Qt::Horizontal).toString());
        shown->setCheckable(true);
        shown->setChecked(!header->isSectionHidden(column));
        shown->setEnabled(column != vantorix::LibraryModel::Name);  // one column stays
        connect(shown, &QAction::toggled, header, [header, column](bool on) { header->setSectionHidden(column, !on); });
    }
    menu.exec(header->mapToGlobal(at));
}

void LibraryWindow::addToGameList()
{
    QStringList paths;
    for (const int row : selectedRows()) {
        const QString path = filter_->index(row, 0).data(vantorix::LibraryModel::PathRole).toString();
        if (!path.isEmpty())
            paths.append(path);
    }
    if (!paths.isEmpty())
        host_.addGamesToList(paths);
}

void LibraryWindow::copyPath(const QString &path)
{
    // The text as it reads; beside it the file's own bytes as a URI, so
    // that a name that is not UTF-8 pasted into a file manager names the
    // real file.
    auto *data = new QMimeData;
    data->setText(vantorix::displayPath(path));
    data->setData(QStringLiteral("text/uri-list"),
                  "file://" + vantorix::encodePath(path).toPercentEncoding("/") + "\r\n");
    QApplication::clipboard()->setMimeData(data);
}

void LibraryWindow::setCoverSize(int size)
{
    covers_->size = size;
    GridView->setGridSize(covers_->sizeHint(QStyleOptionViewItem(), QModelIndex()) + QSize(4, 4));
    QStyleOptionViewItem option;
    option.initFrom(GridView);
    GridView->setGridSize(covers_->sizeHint(option, QModelIndex()) + QSize(4, 4));
    GridView->doItemsLayout();
}

bool LibraryWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FilterEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Escape) {
            FilterEdit->clear();
            return true;
        }
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && filter_->shownCount() > 0) {
            vantorix::atHandlerEdge([this] { playRow(0); });
            return true;
        }
    }
    if (watched == GridView->viewport() && event->type() == QEvent::Wheel) {
        auto *wheel = static_cast<QWheelEvent *>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            CoverSlider->setValue(CoverSlider->value() + (wheel->angleDelta().y() > 0 ? 16 : -16));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void LibraryWindow::dragEnterEvent(QDragEnterEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.constFirst().isLocalFile())
        event->acceptProposedAction();
}

void LibraryWindow::dropEvent(QDropEvent *event)
{
    for (const QUrl &url : event->mimeData()->urls()) {
        if (!url.isLocalFile())
            continue;
        // The folder's own bytes, as the main window takes a dropped file.
        const QString path = vantorix::decodePath(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
        struct stat st;
        if (::stat(vantorix::encodePath(path).constData(), &st) == 0 && S_ISDIR(st.st_mode))
            vantorix::atHandlerEdge([&] { addFolder(path); });
    }
    event->acceptProposedAction();
}

void LibraryWindow::showRecentFirst(bool on)
{
    // Come back tomorrow: the game played last is first, and chosen, so
    // that Return plays it.
    QHeaderView *header = TableView->horizontalHeader();
    chooseWhenSorted_ = on;
    if (on) {
        sortBeforeRecent_ = {header->sortIndicatorSection(), header->sortIndicatorOrder()};
        header->setSortIndicator(vantorix::LibraryModel::LastPlayed, Qt::DescendingOrder);
    } else if (header->sortIndicatorSection() == vantorix::LibraryModel::LastPlayed) {
        header->setSortIndicator(sortBeforeRecent_.first, sortBeforeRecent_.second);
    }
    filter_->setRecentOnly(on);
}

void LibraryWindow::saveState()
{
    vantorix::UserSettings settings;
    if (!currentPath().isEmpty())
        settings.setLibraryState(QStringLiteral("chosen"), vantorix::encodePath(currentPath()));
    settings.setLibraryState(QStringLiteral("geometry"), saveGeometry());
    settings.setLibraryState(QStringLiteral("splitter"), Splitter->saveState());
    settings.setLibraryState(QStringLiteral("columns"), TableView->horizontalHeader()->saveState());
    settings.setLibraryState(QStringLiteral("grid"), GridButton->isChecked());
    settings.setLibraryState(QStringLiteral("coverSize"), CoverSlider->value());
}

void LibraryWindow::restoreState()
{
    const vantorix::UserSettings settings;
    restoreGeometry(settings.libraryState(QStringLiteral("geometry")).toByteArray());
    Splitter->restoreState(settings.libraryState(QStringLiteral("splitter")).toByteArray());
    QHeaderView *header = TableView->horizontalHeader();
    if (header->restoreState(settings.libraryState(QStringLiteral("columns")).toByteArray())) {
        columnsFitted_ = true;
        filter_->sort(header->sortIndicatorSection(), header->sortIndicatorOrder());
    }
    GridButton->setChecked(settings.libraryState(QStringLiteral("grid")).toBool());
    const QVariant size = settings.libraryState(QStringLiteral("coverSize"));
    CoverSlider->setValue(size.isValid() ? size.toInt() : 128);
    setCoverSize(CoverSlider->value());
}
