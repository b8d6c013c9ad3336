#pragma once

#include "ui_LibraryWindow.h"

#include "pictures/GamePictures.h"
#include "library/LibraryFilter.h"
#include "library/LibraryModel.h"
#include "windows/LibraryHost.h"
#include "platform/TaskLine.h"

#include <QPointer>
#include <QMenu>
#include <QWidget>

#include <atomic>
#include <memory>

namespace vantorix {
class Catalogue;
class MissingGamesModel;
class GameNameDownloads;
class LibraryChanges;
class LibraryWatch;
}
class CoverDelegate;

// The library: every game of the user's folders as a sortable table or a
// grid of covers, with a picture pane, a filter and the play history. A
// second, larger view of the games beside the main window's list, which it
// leaves as it is. Reading the folders, finding and scaling pictures all
// run on the catalogue's executor: the window only takes what comes back.
class LibraryWindow : public QWidget, public Ui::LibraryWindow {
    Q_OBJECT
public:
    // changes: the way to the library's store; host: where games are
    // started and added to the game list.
    LibraryWindow(vantorix::Catalogue &catalogue, vantorix::LibraryChanges &changes, LibraryHost &host,
                  QWidget *parent = nullptr);
    ~LibraryWindow() override;

    vantorix::LibraryModel *model() const { return model_; }
    vantorix::LibraryFilter *filter() const { return filter_; }
    // Whether a pass over the folders is under way.
    bool isReading() const { return reading_ > 0 || wholeReading_; }
    // Whether game names are being downloaded or checked.
    bool isFetchingNames() const { return fetchingNames_; }

    // Plays the game of a shown row with the main window's checked emulator.
    void playRow(int row);
    // Takes the play history and favourites again from the disk (off the
    // window's thread).
    void takeStore();
    vantorix::LibraryWatch *watch() const { return watch_; }
    // Stops the passes under way (the program ends).
    void stopPasses();
    // Adds a folder to the library and reads it.
    void addFolder(const QString &folder);
    void toggleFavourite();
    // The collector's views of the CollectionBox: all games, the games the
    // databases list and no file holds, duplicates, one per game, with saves.
    enum Collection { AllGames, Missing, Duplicates, OnePerGame, WithSaves };
    void showCollection(int which);
    vantorix::MissingGamesModel *missingGames() const { return missing_; }
    // Backs up the saves of the games at paths (all of them: every save),
    // off the window's thread; the result is said in the status line.
    void backUpSaves(const QStringList &paths);
    // Puts a backup back as the game's save (the save there backed up
    // first), unless the game is running.
    void putBackSave(const QString &gamePath, const QString &backup);
    // Looks for the games' saves again, off the window's thread.
    void lookForSaves();
    bool isLookingForSaves() const { return findingSaves_; }
    // Puts a game's path on the clipboard: as text to read, and as the
    // file's own bytes in a URI, so that any name pastes as the real file.
    void copyPath(const QString &path);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // Reads the given library folders (all of them: empty) on the executor,
    // the model taking their games as they come.
    void readFolders(const QStringList &folders);
    // Reads some places again (a watch saw them change) and updates the
    // rows of those places only.
    void readPlaces(const QList<vantorix::LibraryPlace> &places);
    void rescanWaitingPlaces();
    // Reads the library's every folder, its games replacing all, shown as
    // they come.
    void readWholeLibrary(const std::vector<vantorix::LibraryPlace> &places);
    void finishWholePass(const QStringList &problems, const QString &chosen);
    // The game names: asked for once games show (where the user has none
    // and did not say Never), checked once a week when they said Download,
    // fetched at once from "Game names…".
    void followGameNames();
    void fetchGameNames(bool check);
    void showGameNames();

    void updateCaption();
    void showCurrentGame();
    // The pane's lines of a collector's: play time, copies, saves.
    QStringList collectorLines(int row) const;
    void showMissingGame();
    void auditLibrary();
    // The slot (1 to 3) whose program text is emulator, else 0.
    int slotOfEmulator(const QString &emulator) const;
    void addSaveActions(QMenu &menu, const QString &path);
    void showPictures(const QString &path, quint64 serial);
    void askDownload(const vantorix::PictureQuery &query, quint64 serial);
    void showContextMenu(const QPoint &at);
    void chooseHiddenColumns(const QPoint &at);
    void addToGameList();
    void removeFolder();
    void setCoverSize(int size);
    void saveState();
    void keepOnScreen();
    void fitColumns();
    // The quick filter "Recently played": the last game played first, and
    // chosen.
    void showRecentFirst(bool on);
    void restoreState();
    QString currentPath() const;
    QList<int> selectedRows() const;

    vantorix::Catalogue &catalogue_;
    vantorix::LibraryChanges &changes_;
    LibraryHost &host_;
    vantorix::LibraryModel *model_;
    vantorix::LibraryFilter *filter_;
    vantorix::LibraryWatch *watch_;
    vantorix::TaskLine *wholeLine_;  // the pass over every folder under way
    bool wholeReading_ = false;
    CoverDelegate *covers_;
    std::shared_ptr<std::atomic<bool>> quitting_ = std::make_shared<std::atomic<bool>>(false);
    int reading_ = 0;
    QList<vantorix::LibraryPlace> waitingPlaces_;  // to look at once the look under way ends
    bool rescanning_ = false;
    quint64 wholePasses_ = 0;
    quint64 paneSerial_ = 0;
    QString panePath_;  // the game the pane shows
    bool started_ = false;
    std::pair<int, Qt::SortOrder> sortBeforeRecent_{vantorix::LibraryModel::Name, Qt::AscendingOrder};
    bool chooseWhenSorted_ = false;
    bool columnsFitted_ = false;
    bool namesAsked_ = false;  // asked, or answered "Not now", in this run
    vantorix::GameNameDownloads *names_ = nullptr;
    bool fetchingNames_ = false;
    vantorix::MissingGamesModel *missing_;
    quint64 audits_ = 0;
    bool findingSaves_ = false;
    bool savesAgain_ = false;  // asked while a look was under way
};
