// The main window's configuration actions: save, load and the interface file.
#include "app/Unit1.h"

#include "app/ErrorBox.h"
#include "app/Forms.h"
#include "app/IoError.h"
#include "catalogue/Unit3.h"
#include "config/Configuration.h"
#include "config/InterfaceFile.h"
#include "config/TextFile.h"
#include "windows/Unit2.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>

using vantorix::Configuration;

QString TForm1::initialDialogFolder() const
{
    return QCoreApplication::applicationDirPath();
}

Configuration TForm1::configuration() const
{
    Configuration config;
    config.interfaceName = interfaceName_;
    config.gamesDirectory = Edit1->text();
    config.executables = {Edit2->text(), Edit3->text(), Edit4->text()};
    config.displayNames = {RadioButton1->text(), RadioButton2->text(), RadioButton3->text()};
    for (int i = 0; i < vantorix::kInfoLineCount; ++i)
        config.infoLines[i] = Form2->infoLabel(i)->text();
    config.gameList = vantorix::listItems(ComboBox1);
    return config;
}

void TForm1::applyConfiguration(const Configuration &config)
{
    interfaceName_ = config.interfaceName;
    Edit1->setText(config.gamesDirectory);
    Edit2->setText(config.executables[0]);
    Edit3->setText(config.executables[1]);
    Edit4->setText(config.executables[2]);
    RadioButton1->setText(config.displayNames[0]);
    RadioButton2->setText(config.displayNames[1]);
    RadioButton3->setText(config.displayNames[2]);
    for (int i = 0; i < vantorix::kInfoLineCount; ++i)
        Form2->infoLabel(i)->setText(config.infoLines[i]);
    ComboBox1->clear();
    ComboBox1->addItems(config.gameList);
    // After a load no entry is chosen.
    ComboBox1->setCurrentIndex(-1);
}

void TForm1::Button3Click(QObject *)
{
    SaveDialog->setDirectory(initialDialogFolder());
    if (SaveDialog->exec() != QDialog::Accepted || SaveDialog->selectedFiles().isEmpty())
        return;
    const QString name = SaveDialog->selectedFiles().constFirst();
    if (name.isEmpty())
        return;
    try {
        vantorix::writeFileAtomically(name, vantorix::serializeConfiguration(configuration()));
    } catch (const vantorix::IoError &error) {
        vantorix::reportError(error.text());
    }
}

void TForm1::Button4Click(QObject *)
{
    OpenDialog->setDirectory(initialDialogFolder());
    if (OpenDialog->exec() != QDialog::Accepted || OpenDialog->selectedFiles().isEmpty())
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
        // failure leaves the window as it was.
        config = vantorix::parseConfiguration(vantorix::readWholeFile(path));
    } catch (const vantorix::IoError &error) {
        vantorix::reportError(error.text());
        return false;
    }
    applyConfiguration(config);
    configFolder_ = QFileInfo(path).absolutePath();
    Inter();
    return true;
}

void TForm1::Inter()
{
    const QString path = vantorix::locateInterfaceFile(interfaceName_, configFolder_,
                                                      QCoreApplication::applicationDirPath());
    if (path.isEmpty())
        return;
    vantorix::InterfaceTexts texts;
    try {
        texts = vantorix::parseInterfaceFile(vantorix::readWholeFile(path));
    } catch (const vantorix::IoError &error) {
        vantorix::reportError(error.text());
        return;
    }
    using T = vantorix::InterfaceTexts;
    Label2->setText(texts.text(T::SelectGame));
    Label8->setText(texts.text(T::Launch));
    Label3->setText(texts.text(T::SelectionLine));
    Label5->setText(texts.text(T::GamesDirectory));
    GroupBox2->setTitle(texts.text(T::Emulators));
    Label7->setText(texts.text(T::Info));
    Form2->setWindowTitle(texts.text(T::Info));
    Button3->setToolTip(texts.text(T::SaveHint));
    Button4->setToolTip(texts.text(T::LoadHint));
    Button5->setToolTip(texts.text(T::PlaylistHint));
    Label6->setToolTip(texts.text(T::ExitHint));
    Form3->setWindowTitle(texts.text(T::PlaylistTitle));
    Form3->Label1->setText(texts.text(T::AvailableGames));
    Form3->Label2->setText(texts.text(T::YourPlaylist));
    Form3->Label7->setText(texts.text(T::Add));
    Form3->Label8->setText(texts.text(T::AddAll));
    Form3->Label9->setText(texts.text(T::Remove));
    Form3->Label10->setText(texts.text(T::RemoveAll));
    Form3->Label11->setText(texts.text(T::Import));
    Form3->setHelpLines(texts.helpLines);
}
