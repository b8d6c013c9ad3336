#include "catalogue/Unit5.h"

#include "app/ErrorBox.h"
#include "app/Forms.h"
#include "catalogue/HeaderPass.h"
#include "catalogue/Unit3.h"
#include "windows/DialogStyle.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QShowEvent>

namespace {

const QString kCaption = QStringLiteral("ROMS reader");
const QString kReadingPrefix = QStringLiteral("--> ");

// The header pass works on the file list's items in place.
class FileListEntries : public vantorix::EntryList {
public:
    explicit FileListEntries(QListWidget *list) : list_(list) {}
    int count() const override { return list_->count(); }
    QString text(int index) const override { return list_->item(index)->text(); }
    void setText(int index, const QString &text) override { list_->item(index)->setText(text); }

private:
    QListWidget *list_;
};

}  // namespace

TForm5::TForm5(QWidget *parent) : QDialog(parent), initialFolder_(QDir::currentPath())
{
    setupUi(this);
    vantorix::makeFixedDialog(this);
    FilterComboBox1->setFilterText(
        QStringLiteral("Gameboy ROMS (*.gb)|*.gb|Gameboy Color ROMS (*.gbc)|*.gbc|All files (*.*)|*.*"));
    FilterComboBox1->setFileList(FileListBox1);
    DirectoryListBox1->setFileList(FileListBox1);
    DriveComboBox1->setDirList(DirectoryListBox1);
    connect(FileListBox1, &FileListBox::changed, this, [this] { FileListBox1Change(FileListBox1); });
    connect(Label8, &LinkLabel::clicked, this, [this] { Label8Click(Label8); });
}

void TForm5::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (opened_ || event->spontaneous())
        return;
    // The browser comes into being on the folder that was current when the
    // program started, and lists it at once.
    opened_ = true;
    DirectoryListBox1->openFolder(initialFolder_);
}

void TForm5::FileListBox1Change(QObject *)
{
    QElapsedTimer sinceRepaint;
    sinceRepaint.start();
    QString reading;
    auto progress = [&](const QString &name) {
        reading = name;
        // Updating the caption for every file of a large folder costs more
        // than reading it: show the file being read a few times a second.
        if (sinceRepaint.elapsed() >= 100) {
            setWindowTitle(kReadingPrefix + name);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            sinceRepaint.restart();
        }
    };
    FileListEntries entries(FileListBox1);
    try {
        vantorix::runHeaderPass(entries, QString(), progress);
    } catch (const vantorix::HeaderPassError &error) {
        if (!reading.isEmpty())
            setWindowTitle(kReadingPrefix + reading);
        vantorix::reportError(error.text());
        return;
    }
    setWindowTitle(kCaption);
}

void TForm5::Label8Click(QObject *)
{
    Form3->ListBox2->addItems(vantorix::listItems(FileListBox1));
    Form3->countRefresh();
    accept();
    Form3->raise();
    Form3->activateWindow();
}
