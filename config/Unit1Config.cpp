// The main window's configuration actions: save, load and the interface file.
#include "app/Unit1.h"

#include "commands/CommandLine.h"
#include "widgets/ErrorBox.h"
#include "platform/FilePath.h"
#include "app/Forms.h"
#include "platform/IoError.h"
#include "widgets/PlainText.h"
#include "catalogue/Unit3.h"
#include "rom/FileStamp.h"
#include "settings/Configuration.h"
#include "settings/ConfigurationFile.h"
#include "settings/InterfaceFile.h"
#include "settings/TextFile.h"
#include "windows/Unit2.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include <utility>

using vantorix::Configuration;

QString TForm1::initialDialogFolder() const
{
    return vantorix::configurationFolder(vantorix::commandFolder());
}

Configuration TForm1::configuration() const
{
    Configuration config;
    config.interfaceName = interfaceName_;
    using vantorix::storedText;
    config.gamesDirectory = storedText(Edit1);
    config.executables = {storedText(Edit2), storedText(Edit3), storedText(Edit4)};
    config.displayNames = {storedText(RadioButton1), storedText(RadioButton2), storedText(RadioButton3)};
    for (int i = 0; i < vantorix::kInfoLineCount; ++i)
        config.infoLines[i] = storedText(Form2->infoLabel(i));
    config.gameList = vantorix::listItems(ComboBox1);
    return config;
}

void TForm1::applyConfiguration(const Configuration &config)
{
    using vantorix::setStoredText;
    interfaceName_ = config.interfaceName;
    setStoredText(Edit1, config.gamesDirectory);
    setStoredText(Edit2, config.executables[0]);
    setStoredText(Edit3, config.executables[1]);
    setStoredText(Edit4, config.executables[2]);
    setStoredText(RadioButton1, config.displayNames[0]);
    setStoredText(RadioButton2, config.displayNames[1]);
    setStoredText(RadioButton3, config.displayNames[2]);
    for (int i = 0; i < vantorix::kInfoLineCount; ++i)
        setStoredText(Form2->infoLabel(i), config.infoLines[i]);
    replaceGameList(config.gameList);
}

void TForm1::Button3Click(QObject *)
{
    SaveDialog->setDirectory(initialDialogFolder());
    if (execFileDialog(SaveDialog) != QDialog::Accepted || SaveDialog->selectedFiles().isEmpty())
        return;
    const QString name = SaveDialog->selectedFiles().constFirst();
    if (name.isEmpty())
        return;
    saveConfigurationTo(name);
}

void TForm1::saveInPlace()
{
    // A configuration never loaded or saved yet has no place: ask for one.
    if (currentFile_.isEmpty())
        Button3Click(Button3);
    else
        saveConfigurationTo(currentFile_);
}

bool TForm1::saveConfigurationTo(const QString &name)
{
    if (!confirmOverwritingLongList(name) || !confirmOverwritingChangedFile(name))
        return false;
    // The user's folder for the program is made by the first save into it.
    const QString folder = QFileInfo(name).absolutePath();
    if (folder == vantorix::userConfigurationFolder())
        QDir().mkpath(folder);
    try {
        // Never over another program's change under way (kelpad --add).
        const vantorix::ConfigurationLock lock(name, kLockWaitMs);
        vantorix::writeConfigurationFile(name, configuration());
    } catch (const vantorix::IoError &error) {
        vantorix::reportError(error.text(), name);
        return false;
    }
    takeSavedState(name);
    return true;
}

bool TForm1::confirmOverwritingChangedFile(const QString &name)
{
    if (currentFile_.isEmpty() || vantorix::absolutePath(name) != currentFile_
        || vantorix::FileStamp::of(currentFile_) == savedStamp_ || !vantorix::isRegularFile(currentFile_))
        return true;
    QMessageBox box(QMessageBox::Warning, vantorix::applicationTitle(),
                    tr("%1 was changed by another program since it was loaded. Saving over it loses that change.\n\n"
                       "Save anyway?").arg(vantorix::displayPath(currentFile_)),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setObjectName(QStringLiteral("ChangedOnDiskBox"));
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void TForm1::followConfigurationOnDisk()
{
    if (currentFile_.isEmpty() || vantorix::FileStamp::of(currentFile_) == savedStamp_ || hasUnsavedChanges())
        return;  // a change of the window's own is asked about at its save
    vantorix::Configuration config;
    try {
        config = vantorix::readConfigurationFile(currentFile_);
    } catch (const vantorix::IoError &) {
        return;  // gone, or no configuration now: the window keeps its own
    }
    // Another program added games: taken, with the game chosen kept.
    const QString chosen = ComboBox1->currentText();
    const bool launchable = Label8->isEnabled();
    const QString selection = Label3->text();
    applyConfiguration(config);
    takeSavedState(currentFile_);
    const int row = ComboBox1->findText(chosen);
    if (row >= 0 && !chosen.isEmpty()) {
        ComboBox1->setCurrentIndex(row);
        Label3->setText(selection);
        Label8->setEnabled(launchable);
    }
}

void TForm1::Button4Click(QObject *)
{
    OpenDialog->setDirectory(initialDialogFolder());
    // A file written for the first start is proposed: Return loads it.
    if (!proposedFile_.isEmpty())
        OpenDialog->selectFile(std::exchange(proposedFile_, QString()));
    if (execFileDialog(OpenDialog) != QDialog::Accepted || OpenDialog->selectedFiles().isEmpty())
        return;
    const QString name = OpenDialog->selectedFiles().constFirst();
    // A typed name of a file that does not exist ends the action quietly.
    if (name.isEmpty() || !QFileInfo::exists(name))
        return;
    loadConfigurationFile(name);
}

bool TForm1::loadConfigurationFile(const QString &path)
{
    Configuration config;
    try {
        // The whole file is read and parsed before any control changes, so a
        // failure leaves the window as it was; a file that is no
        // configuration is neither taken nor remembered.
        config = vantorix::readConfigurationFile(path);
    } catch (const vantorix::IoError &error) {
        vantorix::reportError(error.text(), path);
        return false;
    }
    applyConfiguration(config);
    configFolder_ = QFileInfo(path).absolutePath();
    Inter();
    takeSavedState(path);
    if (config.entriesLeftOut > 0)
        vantorix::showNotice(tr("%1 holds %n more game(s) than the list takes (%2): they were not loaded, "
                                "and saving over the file would lose them.", nullptr, config.entriesLeftOut)
                                 .arg(vantorix::displayPath(path))
                                 .arg(vantorix::kPlaylistLimit));
    return true;
}

bool TForm1::confirmOverwritingLongList(const QString &path)
{
    int lost = 0;
    try {
        if (QFileInfo(path).isFile())
            lost = vantorix::parseConfiguration(vantorix::readWholeFile(path)).entriesLeftOut;
    } catch (const vantorix::IoError &) {
        return true;  // the save itself reports what is wrong with the file
    }
    if (lost == 0)
        return true;
    QMessageBox box(QMessageBox::Warning, vantorix::applicationTitle(),
                    tr("%1 holds %n game(s) more than the list takes. Saving over it loses them.\n\n"
                       "Save anyway?", nullptr, lost).arg(vantorix::displayPath(path)),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setObjectName(QStringLiteral("OverwriteBox"));
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void TForm1::Inter()
{
    const QString path = vantorix::locateInterfaceFile(interfaceName_, configFolder_,
                                                      vantorix::commandFolder());
    if (path.isEmpty())
        return;
    vantorix::InterfaceTexts texts;
    try {
        texts = vantorix::parseInterfaceFile(vantorix::readWholeFile(path));
    } catch (const vantorix::IoError &error) {
        vantorix::reportError(error.text(), path);
        return;
    }
    using T = vantorix::InterfaceTexts;
    // Interface texts are shown, never saved: long ones are simply cut.
    auto text = [&texts](T::Line line) { return vantorix::shownText(texts.text(line), vantorix::kShownCaptionLength); };
    auto hint = [&text](T::Line line) { return vantorix::plainToolTip(text(line)); };
    Label2->setText(text(T::SelectGame));
    Label8->setText(text(T::Launch));
    noSelectionText_ = text(T::SelectionLine);
    Label3->setText(noSelectionText_);
    Label5->setText(text(T::GamesDirectory));
    GroupBox2->setTitle(vantorix::withoutMnemonics(text(T::Emulators)));
    Label7->setText(text(T::Info));
    Form2->setWindowTitle(text(T::Info));
    Button3->setToolTip(hint(T::SaveHint));
    Button4->setToolTip(hint(T::LoadHint));
    Button5->setToolTip(hint(T::PlaylistHint));
    Label6->setToolTip(hint(T::ExitHint));
    Form3->setWindowTitle(text(T::PlaylistTitle));
    Form3->Label1->setText(text(T::AvailableGames));
    Form3->Label2->setText(text(T::YourPlaylist));
    Form3->Label7->setText(text(T::Add));
    Form3->Label8->setText(text(T::AddAll));
    Form3->Label9->setText(text(T::Remove));
    Form3->Label10->setText(text(T::RemoveAll));
    Form3->Label11->setText(text(T::Import));
    Form3->setHelpLines(texts.helpLines);
    showKeysInHints();
}
