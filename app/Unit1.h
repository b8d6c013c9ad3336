#pragma once

#include "ui_Unit1.h"

#include "rom/FileStamp.h"
#include "reading/Catalogue.h"
#include "settings/Configuration.h"
#include "windows/LibraryHost.h"

#include <QString>
#include <QWidget>

#include <optional>

class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QFileDialog;
class QFileSystemWatcher;
class QLineEdit;
class QListWidget;
class LibraryWindow;

namespace vantorix {
class Catalogue;
class GameStarter;
class LibraryChanges;
struct Configuration;
}

// The main window: the game list, the games directory and the three
// emulator slots. Its controls are the launcher's state.
class TForm1 : public QWidget, public Ui::TForm1, public LibraryHost {
    Q_OBJECT
public:
    explicit TForm1(vantorix::Catalogue &catalogue, QWidget *parent = nullptr);

    QFileDialog *OpenDialog;
    QFileDialog *SaveDialog;
    QFileDialog *OpenDialog2;

    void ComboBox1Change(QObject *Sender);
    void Label8Click(QObject *Sender);
    void FormShow(QObject *Sender);
    void Label6Click(QObject *Sender);
    void Button5Click(QObject *Sender);
    void Button3Click(QObject *Sender);
    void Button4Click(QObject *Sender);
    void Inter();
    void Label1Click(QObject *Sender);
    void Label7Click(QObject *Sender);

    // Loads the configuration file at path as the load action does after its
    // dialog. Returns false (after reporting) when the file could not be read.
    bool loadConfigurationFile(const QString &path);

    // A file given on the command line: loaded by the show handler instead
    // of offering the load dialog.
    void setStartupFile(const QString &path) { startupFile_ = path; }
    // Starts the ROMs with the emulator the start configuration checks at
    // start (see startConfigurationFile), showing nothing. True when every
    // one started; otherwise the window, once shown, loads that
    // configuration, chooses the first ROM that did not start (added to the
    // list when it is not in it) and says why.
    bool startRoms(const QStringList &roms);

    vantorix::Configuration configuration() const;
    void applyConfiguration(const vantorix::Configuration &config);

    // Replaces the game list (a load, the playlist editor's "Ok!"): no
    // entry is chosen then, so the selection line is cleared and the launch
    // waits for a choice.
    void replaceGameList(const QStringList &entries);

    // While the user takes names from the game databases: titles every
    // entry whose ROM a database knows with that name, off the window's
    // thread; the others keep theirs. Not a change of the user's.
    void followDatabases();

    // The file of a game list entry as the tool-tips find it (absolute);
    // empty for a blank entry and the user selection.
    QString entryFile(const QString &entry) const;
    // The tool-tip of a game list entry: what the cartridge header of its
    // file says, read now.
    QString entryToolTip(const QString &entry) const;
    // Greys the entries whose file the launch would not find, or marks the
    // games directory when it does not exist.
    // Marks the entries whose file is not found, once looked for off the
    // window's thread.
    void markMissingGames();

    const QString &romKey() const { return romKey_; }
    const QString &interfaceName() const { return interfaceName_; }

    // The library window (Ctrl+L, the "Library" link, kelpad --library),
    // made at its first showing.
    void showLibrary();
    LibraryWindow *library() const { return library_; }
    // The library's store, changed off the window's thread.
    vantorix::LibraryChanges &libraryChanges() const { return *libraryChanges_; }
    // The emulators started from this program and not ended yet.
    vantorix::GameStarter &starter() const { return *starter_; }

    // What the library window asks of this one.
    bool playGame(const QString &path, int slot) override;
    QString emulatorOfSlot(int slot) const override;
    bool isGameRunning(const QString &path) const override;
    void addGamesToList(const QStringList &paths) override;
    void quitProgram() override { Label6Click(Label6); }
    // kelpad --library: the library is the first window; the last
    // configuration is loaded without the load dialog.
    void setOpensLibrary(bool on) { opensLibrary_ = on; }
    // Starts the file at path (absolute) with the emulator of slot 1, 2 or
    // 3, as the launch does with the checked one; said in the error box
    // when it cannot. True when it started.
    bool launchWith(int slot, const QString &path);
    // Asks for a ROM file (Ctrl+Shift+L) and starts it with the checked emulator.
    void openRomFile();
    // Starts a ROM file given whole (a dropped file, a chosen one).
    // Reads a dropped DAT file into the user's game databases and says so.
    void addGameDatabase(const QString &path);
    // Adds a folder laid out as the libretro thumbnails (see isPictureRoot)
    // to the folders pictures are looked for in, remembered across starts.
    void addPictureFolder(const QString &path);
    void launchFile(const QString &path);
    // The find field over the game list (Ctrl+F).
    void showFindField();

    // Whether the show handler has run: the window's first showing runs
    // it once the window is on the screen.
    bool hasStarted() const { return started_; }

    // Whether the window's state differs from what was last loaded or
    // saved (games directory, emulators, their names and lines, the list).
    bool hasUnsavedChanges() const;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    static constexpr int kLongestWaitForScreenMs = 2000;
    void startOnce();
    void addShortcuts();
    // Each speed button's and link's tool-tip ends with its key.
    void showKeysInHints();
    // Runs a file dialog; its name completion must not stay on the screen.
    int execFileDialog(QFileDialog *dialog);
    void findGames(const QString &text);
    // Escape gives the choice made before the find back; a launch or a new
    // list does not.
    void closeFindField(bool restoreChoice);
    void launchCurrentMatch();
    void showFindSelection();
    void launch(const QString &romPath, bool sayEmptySlot = false);
    // The checked slot (1 to 3) and its emulator's text.
    int checkedSlot() const;
    // Chooses the entry that starts the file at path; one that is in no
    // entry is added first when addWhenMissing.
    void selectRomFile(const QString &path, bool addWhenMissing);
    bool selectListedRom(const QString &path);
    void showMissingGames(const QString &directory, bool folderExists, const QStringList &entries,
                          const QStringList &missingFiles);
    QString initialDialogFolder() const;
    // Writes the configuration to name and takes it as the current one.
    // False when it was not written (the reason was shown).
    bool saveConfigurationTo(const QString &name);
    // Saves over the configuration last loaded or saved, with no dialog;
    // one never saved yet asks where.
    void saveInPlace();
    // A new user's first start: writes a configuration of the emulators this
    // machine has and the sample games into the user's folder for the
    // program, when it has none. Returns the file written, or empty.
    // Writes the first start's configuration into folder; its path, or
    // nothing. On any thread.
    static QString prepareFirstStart(const QString &folder);
    void offerConfiguration(const QString &firstStartFile);
    void tellDatabaseAdded(const QString &path, const vantorix::Catalogue::AddedDatabase &added);
    // Before a save over path: asks whether to lose the games a file holds
    // beyond the list's limit. True to go on.
    bool confirmOverwritingLongList(const QString &path);
    // Before a save over the file last loaded or saved that another
    // program changed since: asks whether to lose that change. True to go on.
    bool confirmOverwritingChangedFile(const QString &name);
    // The configuration file changed on disk (kelpad --add): taken again
    // while the window holds no change of its own.
    void followConfigurationOnDisk();
    // Watches the file last loaded or saved, and its folder (a save by
    // rename replaces the file watched).
    void watchConfigurationFile();
    // Before the window closes with unsaved changes: Save, Discard or
    // Cancel. True to close.
    bool confirmClosing();
    // What was last loaded or saved, to tell a change by.
    void takeSavedState(const QString &file);
    // The renames a naming found (entry -> entry), in the list, the find's
    // matches and what was last loaded or saved alike.
    void renameEntries(const QHash<QString, QString> &renames);

    vantorix::Catalogue &catalogue_;
    QString romKey_;
    QString interfaceName_;
    QString configFolder_;
    QString startupFile_;
    QString noSelectionText_;
    QString proposedFile_;  // what the load dialog offers at its next showing
    QString currentFile_;   // the configuration last loaded or saved
    vantorix::FileStamp savedStamp_;  // that file as it was then
    QFileSystemWatcher *configWatcher_ = nullptr;
    static constexpr int kLockWaitMs = 1000;
    QStringList romsNotStarted_;  // the ROM chosen at show, then the reasons
    std::optional<vantorix::Configuration> savedState_;
    QLineEdit *findField_ = nullptr;
    QListWidget *findMatches_ = nullptr;
    QString selectionBeforeFind_;
    bool launchBeforeFind_ = false;
    QList<QKeySequence> shortcutKeys_;
    bool shown_ = false;
    bool started_ = false;
    quint64 namingSerial_ = 0;
    quint64 missingSerial_ = 0;
    LibraryWindow *library_ = nullptr;
    vantorix::LibraryChanges *libraryChanges_ = nullptr;
    vantorix::GameStarter *starter_ = nullptr;
    bool opensLibrary_ = false;
};
