#pragma once

#include "reading/RomAdding.h"

#include "ui_Unit5.h"

#include "reading/FolderReading.h"

#include <QDialog>

namespace vantorix {
class Catalogue;
}

// The ROMS reader: browses to a folder, turns each listed ROM file into a
// game list entry and hands the entries to the playlist editor.
class TForm5 : public QDialog, public Ui::TForm5 {
    Q_OBJECT
public:
    explicit TForm5(vantorix::Catalogue &catalogue, QWidget *parent = nullptr);

    void FileListBox1Change(QObject *Sender);
    void Label8Click(QObject *Sender);

    const QString &initialFolder() const { return initialFolder_; }
    // Where the first opening lists: the games directory when it is a
    // folder, else the initial folder.
    QString firstFolder() const;

    void setVisible(bool visible) override;
    // Whether its folder is being listed or its files read.
    bool isReading() const;
    // Whether rows of the listed folder wait for a pass (one stopped by
    // closing the window).
    bool hasUnreadRows() const;
    // Whether games of an "Add all" are being added to the list.
    bool isAdding() const { return adding_ > 0; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void reportDatabaseProblems();
    // Opens the folder typed in the path field; one that cannot be entered
    // is reported and the field keeps the text.
    void openTypedFolder();
    // A batch of rows the pass read; read of them in all.
    void takeRows(const QList<vantorix::FolderReading::Row> &rows, int read);
    void finishPass(const QStringList &failures, bool cacheBusy, bool names);
    // Says once that a choice of the window's is not kept across starts.
    void sayIfNotKept(bool kept);
    // The games an "Add all" found to add, with the rows left out before.
    void takeAddition(const vantorix::GameListAddition &addition, int leftOut, int unread);

    vantorix::Catalogue &catalogue_;
    QString initialFolder_;
    bool databaseProblemsShown_ = false;
    bool cacheBusyShown_ = false;
    bool addAllPending_ = false;  // Add all clicked while the files were read
    bool opened_ = false;
    bool opening_ = false;
    bool passPending_ = false;
    bool settingsNotKeptShown_ = false;
    int adding_ = 0;
};
