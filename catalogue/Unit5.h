#pragma once

#include "ui_Unit5.h"

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

protected:
    void showEvent(QShowEvent *event) override;

private:
    void reportDatabaseProblems();

    vantorix::Catalogue &catalogue_;
    QString initialFolder_;
    bool databaseProblemsShown_ = false;
    bool cacheBusyShown_ = false;
    bool opened_ = false;
    bool opening_ = false;
    bool passPending_ = false;
};
