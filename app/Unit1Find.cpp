// The find field over the game list (Ctrl+F).
#include "app/Unit1.h"

#include "reading/RomAdding.h"
#include "library/GameStart.h"
#include "library/LibraryChanges.h"
#include "library/LibraryStore.h"
#include "windows/LibraryWindow.h"
#include "reading/Catalogue.h"
#include "reading/DatabaseNames.h"
#include "pictures/GamePictures.h"
#include "reading/DetailToolTips.h"

#include "commands/CommandLine.h"
#include "settings/EmulatorCommand.h"
#include "widgets/ErrorBox.h"
#include "platform/FilePath.h"
#include "app/FmxUtils.h"
#include "app/Forms.h"
#include "rom/GameListEntry.h"
#include "rom/GamesFolder.h"
#include "platform/IoError.h"
#include "widgets/ListItemDelegate.h"
#include "widgets/PlainText.h"
#include "platform/Translations.h"
#include "widgets/WindowAnchors.h"
#include "settings/Configuration.h"
#include "names/GameDatabase.h"
#include "settings/ConfigurationFile.h"
#include "settings/FirstStart.h"
#include "settings/LastConfiguration.h"
#include "settings/UserSettings.h"
#include "platform/ShownText.h"
#include "platform/WholeFile.h"
#include "names/CartridgeDetails.h"
#include "names/StartableRom.h"
#include "catalogue/Unit3.h"
#include "windows/Unit2.h"
#include "widgets/DialogStyle.h"
#include "windows/Unit4.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <QCompleter>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QProcess>
#include <QFileDialog>
#include <QFontInfo>
#include <QRandomGenerator>
#include <QScreen>
#include <QShortcut>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QCloseEvent>
#include <QListView>
#include <QListWidget>
#include <QSignalBlocker>
#include <QMimeData>
#include <QShowEvent>
#include <QStyle>
#include <QUrl>

#include <QScopeGuard>

#include <cstdio>
#include <functional>
#include <limits>
#include <utility>

void TForm1::showFindField()
{
    if (!findField_) {
        findField_ = new QLineEdit(this);
        findField_->setObjectName(QStringLiteral("FindField"));
        findField_->setPlaceholderText(tr("Find a game"));
        findField_->setClearButtonEnabled(true);
        findField_->installEventFilter(this);
        connect(findField_, &QLineEdit::textChanged, this,
                [this](const QString &text) { vantorix::atHandlerEdge([&] { findGames(text); }); });
        // The matches, under the field: title and file name as the list
        // shows them.
        findMatches_ = new QListWidget(this);
        findMatches_->setObjectName(QStringLiteral("FindMatches"));
        findMatches_->setFont(ComboBox1->font());
        findMatches_->setFocusPolicy(Qt::NoFocus);
        vantorix::useListItemDelegate(findMatches_, 14);
        connect(findMatches_, &QListWidget::currentRowChanged, this,
                vantorix::guarded([this] { showFindSelection(); }));
        connect(findMatches_, &QListWidget::itemActivated, this, vantorix::guarded([this] { launchCurrentMatch(); }));
    }
    if (!findField_->isVisible()) {
        selectionBeforeFind_ = Label3->text();
        launchBeforeFind_ = Label8->isEnabled();
    }
    // Over the game list, which it narrows as the user types.
    findField_->setGeometry(ComboBox1->geometry());
    // Below the selection line, which stays in sight naming the match.
    const QRect list = ComboBox1->geometry();
    findMatches_->setGeometry(list.x(), Label3->geometry().bottom() + 2, list.width(), 8 * 14 + 4);
    for (QWidget *widget : {static_cast<QWidget *>(findField_), static_cast<QWidget *>(findMatches_)}) {
        widget->show();
        widget->raise();
    }
    findField_->setFocus();
    findField_->selectAll();
    findGames(findField_->text());
}

void TForm1::showFindSelection()
{
    // The selection line names the game Return will start.
    const QListWidgetItem *match = findMatches_->currentItem();
    Label3->setText(match ? vantorix::selectionLine(match->text()) : QStringLiteral("??"));
}

void TForm1::findGames(const QString &text)
{
    auto *view = static_cast<QListView *>(ComboBox1->view());
    const QSignalBlocker quiet(findMatches_);
    findMatches_->clear();
    for (int i = 0; i < ComboBox1->count(); ++i) {
        const QString entry = ComboBox1->itemText(i);
        const bool match = text.isEmpty() || vantorix::entryMatches(entry, text);
        view->setRowHidden(i, !match);
        if (match && !vantorix::isBlankEntry(entry)) {
            auto *item = new QListWidgetItem(entry, findMatches_);
            item->setData(Qt::UserRole, i);
        }
    }
    findMatches_->setCurrentRow(findMatches_->count() > 0 ? 0 : -1);
    showFindSelection();
}

void TForm1::launchCurrentMatch()
{
    // The match the selection line names, the first unless Up and Down
    // moved: never a game the text does not match.
    const QListWidgetItem *match = findMatches_->currentItem();
    if (!match)
        return;
    const int row = match->data(Qt::UserRole).toInt();
    const QString text = findField_->text();
    if (row >= ComboBox1->count() || ComboBox1->itemText(row) != match->text()
        || (!text.isEmpty() && !vantorix::entryMatches(match->text(), text)))
        return;
    closeFindField(false);
    ComboBox1->setCurrentIndex(row);
    ComboBox1Change(ComboBox1);
    if (Label8->isEnabled())
        Label8Click(findField_);
}

void TForm1::closeFindField(bool restoreChoice)
{
    findField_->hide();
    findMatches_->hide();
    findField_->clear();  // every row shows again
    if (restoreChoice) {
        Label3->setText(selectionBeforeFind_);
        Label8->setEnabled(launchBeforeFind_);
    }
    ComboBox1->setFocus();
}
