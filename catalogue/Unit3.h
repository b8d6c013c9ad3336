#pragma once

#include "ui_Unit3.h"

#include <QComboBox>
#include <QDialog>

namespace vantorix {
class Catalogue;
}

// The playlist editor: composes a new game list for the main window from
// its current one and from ROM files imported through the ROMS reader.
class TForm3 : public QDialog, public Ui::TForm3 {
    Q_OBJECT
public:
    explicit TForm3(vantorix::Catalogue &catalogue, QWidget *parent = nullptr);

    void FormShow(QObject *Sender);
    void Label7Click(QObject *Sender);   // Add
    void Label8Click(QObject *Sender);   // Add all
    void Label9Click(QObject *Sender);   // Remove
    void Label10Click(QObject *Sender);  // Remove all
    void Label6Click(QObject *Sender);   // Ok!
    void Label5Click(QObject *Sender);   // Cancel
    void Label11Click(QObject *Sender);  // Import

    // Counters and progress bar from the two lists.
    void countRefresh();
    // The help text as the interface file gives it; the memo shows at most
    // kShownHelpLines lines of at most kShownHelpLength characters.
    void setHelpLines(const QStringList &lines);
    QStringList helpLines() const;

    static constexpr int kShownHelpLines = 100;
    static constexpr int kShownHelpLength = 1000;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void warnIfOverLimit();

    QStringList helpLines_;
};

namespace vantorix {
QStringList listItems(const QListWidget *list);
QStringList listItems(const QComboBox *list);
}
