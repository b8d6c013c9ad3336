#pragma once

#include "ui_Unit1.h"

#include <QString>
#include <QWidget>

class QFileDialog;

namespace vantorix {
struct Configuration;
}

// The main window: the game list, the games directory and the three
// emulator slots. Its controls are the launcher's state.
class TForm1 : public QWidget, public Ui::TForm1 {
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);

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

    vantorix::Configuration configuration() const;
    void applyConfiguration(const vantorix::Configuration &config);

    // The tool-tip of a game list entry: what the cartridge header of its
    // file says, the file found as the launch finds it. Read on request.
    QString entryToolTip(const QString &entry) const;
    // Greys the entries whose file the launch would not find, or marks the
    // games directory when it does not exist.
    void markMissingGames();

    const QString &romKey() const { return romKey_; }
    const QString &interfaceName() const { return interfaceName_; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void addShortcuts();
    void launch(const QString &romPath);
    void startEmulator(const QString &slotText, const QString &romPath);
    QString initialDialogFolder() const;

    QString romKey_;
    QString interfaceName_;
    QString configFolder_;
    QString startupFile_;
    bool shown_ = false;
};
