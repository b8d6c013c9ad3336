// The library's collector's views: the games the databases list and no file
// holds, copies, one per game, saves with their backups, and the emulator
// each game is played with.
#include "windows/LibraryWindow.h"
#include "windows/OffThread.h"

#include "library/GameSaves.h"
#include "library/LibraryAudit.h"
#include "library/LibraryChanges.h"
#include "library/MissingGamesModel.h"
#include "reading/Catalogue.h"
#include "platform/FilePath.h"
#include "platform/IoError.h"
#include "platform/ProgramStart.h"
#include "platform/ShownText.h"
#include "widgets/ErrorBox.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QLocale>
#include <QMenu>

void LibraryWindow::showCollection(int which)
{
    using Filter = vantorix::LibraryFilter::Collection;
    if (which == Missing) {
        Views->setCurrentWidget(MissingView);
        auditLibrary();
        showMissingGame();
        return;
    }
    Views->setCurrentWidget(GridButton->isChecked() ? static_cast<QWidget *>(GridView) : TableView);
    static const Filter filters[] = {Filter::All, Filter::All, Filter::Duplicates, Filter::OnePerGame,
                                     Filter::WithSaves};
    filter_->setCollection(filters[qBound(0, which, int(std::size(filters)) - 1)]);
    StatusLine->clear();
    showCurrentGame();
}

void LibraryWindow::auditLibrary()
{
    // The keys of every game, taken at once; the audit itself runs off the
    // window's thread.
    auto contents = std::make_shared<std::vector<vantorix::RomKey>>();
    contents->reserve(size_t(model_->rowCount()));
    for (int row = 0; row < model_->rowCount(); ++row)
        contents->push_back(model_->game(row).content());
    const quint64 serial = ++audits_;
    vantorix::Catalogue &catalogue = catalogue_;
    StatusLine->setText(tr("Looking for the games you miss…"));
    offThread<std::shared_ptr<vantorix::LibraryAudit>>(
        catalogue_, this,
        [&catalogue, contents] {
            return std::make_shared<vantorix::LibraryAudit>(
                vantorix::auditLibrary(*contents, catalogue.databases()->database));
        },
        [this, serial](const std::shared_ptr<vantorix::LibraryAudit> &audit) {
            if (serial != audits_)
                return;
            QStringList lines;
            for (const vantorix::DatabaseAudit &counts : audit->databases)
                lines.append(vantorix::auditLine(counts));
            StatusLine->setText(lines.isEmpty() ? tr("No game database knows a game of the library.")
                                                : lines.join(QStringLiteral("; ")));
            missing_->setAudit(std::move(*audit));
            for (const int column : {vantorix::MissingGamesModel::Region, vantorix::MissingGamesModel::Database})
                MissingView->resizeColumnToContents(column);
            MissingView->setColumnWidth(vantorix::MissingGamesModel::Name,
                                        qMax(200, MissingView->viewport()->width() * 2 / 5));
            showMissingGame();
        });
}

void LibraryWindow::showMissingGame()
{
    if (Views->currentWidget() != MissingView)
        return;
    const QModelIndex current = MissingView->currentIndex();
    for (QLabel *picture : {BoxArt, TitleScreen, Screenshot})
        picture->hide();
    DownloadBox->hide();
    ++paneSerial_;
    panePath_.clear();
    // A database's text: plain, never rich text.
    DetailsText->setPlainText(current.isValid() ? vantorix::MissingGamesModel::detailsOf(missing_->game(current.row()))
                                                : QString());
}

int LibraryWindow::slotOfEmulator(const QString &emulator) const
{
    if (emulator.isEmpty())
        return 0;
    for (int slot = 1; slot <= 3; ++slot)
        if (host_.emulatorOfSlot(slot) == emulator)
            return slot;
    return 0;  // the slot changed since: the checked emulator
}

QStringList LibraryWindow::collectorLines(int row) const
{
    QStringList lines;
    if (row < 0 || row >= model_->rowCount())
        return lines;
    const QLocale locale;
    const vantorix::PlayRecord play = model_->play(row);
    if (play.seconds > 0)
        lines.append(tr("Play time: %1").arg(vantorix::LibraryModel::playTimeText(play.seconds)));
    const QString emulator = model_->emulatorOf(row);
    if (!emulator.isEmpty())
        lines.append(tr("Emulator: %1").arg(vantorix::withoutControlCharacters(emulator)));
    const QStringList others = model_->otherCopies(row);
    if (!others.isEmpty()) {
        lines.append(tr("%n other copy(ies):", nullptr, int(others.size())));
        for (const QString &other : others)
            lines.append(QStringLiteral("  ") + vantorix::withoutControlCharacters(vantorix::displayPath(other)));
    }
    const QList<vantorix::SaveFile> saves = model_->savesOf(row);
    for (const vantorix::SaveFile &save : saves)
        lines.append(tr("Save: %1 (%2, %3)")
                         .arg(vantorix::withoutControlCharacters(vantorix::displayPath(save.path)),
                              locale.formattedDataSize(save.size, 0),
                              locale.toString(save.modified, QLocale::ShortFormat)));
    if (!saves.isEmpty()) {
        const int backups = int(vantorix::saveBackups(model_->game(row).name).size());
        lines.append(tr("%n backup(s) of the save", nullptr, backups));
    }
    return lines;
}

void LibraryWindow::lookForSaves()
{
    if (findingSaves_) {
        savesAgain_ = true;
        return;
    }
    findingSaves_ = true;
    savesAgain_ = false;
    auto rows = std::make_shared<const std::vector<vantorix::LibraryRow>>(model_->rows());
    offThread<std::shared_ptr<vantorix::FoundSaves>>(
        catalogue_, this,
        [rows] {
            auto found = std::make_shared<vantorix::FoundSaves>();
            vantorix::findSaves(
                rows->size(), [&rows](size_t i) { return vantorix::encodePath(rows->at(i).pathForLookup()); },
                vantorix::SaveFolders::ofUser(),
                [&](size_t i, const QList<vantorix::SaveFile> &saves) { found->insert(rows->at(i).path(), saves); });
            return found;
        },
        [this](const std::shared_ptr<vantorix::FoundSaves> &found) {
            findingSaves_ = false;
            model_->setSaves(std::move(*found));
            if (filter_->collection() == vantorix::LibraryFilter::Collection::WithSaves)
                filter_->setCollection(vantorix::LibraryFilter::Collection::WithSaves);
            if (savesAgain_)
                lookForSaves();
        });
}

void LibraryWindow::backUpSaves(const QStringList &paths)
{
    QStringList games = paths, emulators;
    if (games.isEmpty())
        games = model_->paths();
    for (const QString &game : std::as_const(games)) {
        const int row = model_->rowOf(game);
        emulators.append(row >= 0 ? model_->emulatorOf(row) : QString());
    }
    StatusLine->setText(tr("Backing up saves…"));
    changes_.backUpSaves(this, games, emulators, [this](int made, const QStringList &failures) {
        if (!failures.isEmpty())
            vantorix::reportError(failures.constFirst(), QString());
        StatusLine->setText(made > 0 ? tr("%n save(s) backed up.", nullptr, made)
                                     : tr("Every save is backed up already."));
        showCurrentGame();
    });
}

void LibraryWindow::putBackSave(const QString &gamePath, const QString &backup)
{
    const int row = model_->rowOf(gamePath);
    if (row < 0)
        return;
    const vantorix::LibraryGame &game = model_->game(row);
    const QList<vantorix::SaveFile> saves = model_->savesOf(row);
    // The save the backup stands for: the one of its kind, else beside the ROM.
    const QString kind = backup.mid(backup.lastIndexOf(QLatin1Char('.')));
    QString savePath;
    vantorix::SaveFile current;
    for (const vantorix::SaveFile &save : saves)
        if (save.path.endsWith(kind)) {
            savePath = save.path;
            current = save;
            break;
        }
    if (savePath.isEmpty()) {
        const qsizetype dot = game.path.lastIndexOf(QLatin1Char('.'));
        savePath = (dot > game.path.lastIndexOf(QLatin1Char('/')) ? game.path.left(dot) : game.path) + kind;
    }
    // Started here, or by another program (a file manager's kelpad): an
    // emulator holding the ROM would write its own save over the one put back.
    const bool running = host_.isGameRunning(game.path) || vantorix::isArgumentOfRunningProgram(game.path);
    const QString name = game.name;
    const QString label = vantorix::emulatorLabel(model_->emulatorOf(row), current);
    offThread<QString>(
        catalogue_, this,
        [backup, savePath, name, label, running] {
            try {
                vantorix::restoreSave(backup, savePath, name, label, running);
                return QString();
            } catch (const vantorix::IoError &error) {
                return error.text();
            }
        },
        [this, savePath](const QString &failure) {
            if (!failure.isEmpty()) {
                vantorix::reportError(failure, savePath);
                return;
            }
            StatusLine->setText(tr("The save is put back: %1").arg(vantorix::displayPath(savePath)));
            lookForSaves();
            showCurrentGame();
        });
}

void LibraryWindow::addSaveActions(QMenu &menu, const QString &path)
{
    const int row = model_->rowOf(path);
    if (row < 0)
        return;
    menu.addSeparator();
    QAction *backUp = menu.addAction(tr("Back up the save"));
    backUp->setEnabled(model_->hasSave(row));
    connect(backUp, &QAction::triggered, this, vantorix::guarded([this, path] { backUpSaves({path}); }));
    QMenu *restore = menu.addMenu(tr("Restore a save"));
    restore->setObjectName(QStringLiteral("RestoreMenu"));
    const QStringList backups = vantorix::saveBackups(model_->game(row).name);
    for (qsizetype i = backups.size() - 1; i >= 0; --i) {
        const QString backup = backups.at(i);
        // A file's name: plain text (an action's text is never rich text).
        QAction *action = restore->addAction(vantorix::withoutControlCharacters(QFileInfo(backup).fileName()));
        connect(action, &QAction::triggered, this, vantorix::guarded([this, path, backup] { putBackSave(path, backup); }));
    }
    restore->setEnabled(!backups.isEmpty());
    connect(menu.addAction(tr("Back up every save")), &QAction::triggered, this,
            vantorix::guarded([this] { backUpSaves({}); }));
    menu.addSeparator();
}
