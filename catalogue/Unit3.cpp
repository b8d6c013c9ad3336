#include "catalogue/Unit3.h"

#include "widgets/WindowAnchors.h"

#include "reading/Catalogue.h"

#include "widgets/ErrorBox.h"
#include "app/FmxUtils.h"
#include "app/Forms.h"
#include "widgets/ListItemDelegate.h"
#include "widgets/PlainText.h"
#include "app/Unit1.h"
#include "catalogue/Unit5.h"
#include "settings/Configuration.h"
#include "widgets/DialogStyle.h"

#include <QKeyEvent>
#include <QShortcut>
#include <QShowEvent>

using vantorix::kPlaylistLimit;

namespace vantorix {

QStringList listItems(const QListWidget *list)
{
    QStringList items;
    items.reserve(list->count());
    for (int i = 0; i < list->count(); ++i)
        items.append(list->item(i)->text());
    return items;
}

QStringList listItems(const QComboBox *list)
{
    QStringList items;
    items.reserve(list->count());
    for (int i = 0; i < list->count(); ++i)
        items.append(list->itemText(i));
    return items;
}

}  // namespace vantorix

TForm3::TForm3(vantorix::Catalogue &catalogue, QWidget *parent) : QDialog(parent)
{
    setupUi(this);
    vantorix::makeResizableDialog(this);
    // The two lists share what the window grows by; the buttons between
    // them stay in the middle, the notes and the bar along the bottom.
    auto *anchors = new WindowAnchors(this, true);
    const WindowAnchors::Share half{0.5, 0, 0, 0};
    for (QWidget *middle : std::initializer_list<QWidget *>{Label3, Label2, Label11, Image1, Image2, Label7, Label8,
                                                           Label9, Label10})
        anchors->anchor(middle, half);
    anchors->anchor(Label4, WindowAnchors::kFollowRight);
    anchors->anchor(ListBox1, {0, 0, 0.5, 1});
    anchors->anchor(ListBox2, {0.5, 0, 0.5, 1});
    anchors->anchor(Bar1, {0, 1, 1, 0});
    anchors->anchor(Panel2, {0, 1, 1, 0});
    anchors->anchor(Memo1, WindowAnchors::kGrowAcross);
    for (QWidget *right : std::initializer_list<QWidget *>{Panel4, Label5, Label6})
        anchors->anchor(right, WindowAnchors::kFollowRight);
    // The bundled help text fits the memo's three lines without a scroll bar.
    Memo1->document()->setDocumentMargin(2);
    for (QListWidget *list : {ListBox1, ListBox2}) {
        ListItemDelegate *delegate = vantorix::useListItemDelegate(list, 14);
        delegate->setToolTipSource([](const QModelIndex &index) {
            return ItemToolTip{QString(), Form1->entryFile(index.data().toString())};
        });
        delegate->setDetails(&catalogue);
    }
    setHelpLines({
        tr("To create your personal ROM list, select the title that appear in the left list "
           "and press the \"Add\" button to put it in to the list on "),
        tr("the right."),
        tr("When you have finished, press Cancel or Ok to confirm."),
    });
    connect(Label7, &LinkLabel::clicked, this, vantorix::guarded([this] { Label7Click(Label7); }));
    connect(Label8, &LinkLabel::clicked, this, vantorix::guarded([this] { Label8Click(Label8); }));
    connect(Label9, &LinkLabel::clicked, this, vantorix::guarded([this] { Label9Click(Label9); }));
    connect(Label10, &LinkLabel::clicked, this, vantorix::guarded([this] { Label10Click(Label10); }));
    connect(Label6, &LinkLabel::clicked, this, vantorix::guarded([this] { Label6Click(Label6); }));
    connect(Label5, &LinkLabel::clicked, this, vantorix::guarded([this] { Label5Click(Label5); }));
    connect(Label11, &LinkLabel::clicked, this, vantorix::guarded([this] { Label11Click(Label11); }));
    // The keyboard and double clicks reach the same actions.
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, vantorix::guarded([this] { Label7Click(ListBox1); }));
    connect(ListBox2, &QListWidget::itemDoubleClicked, this, vantorix::guarded([this] { Label9Click(ListBox2); }));
    ListBox1->installEventFilter(this);
    ListBox2->installEventFilter(this);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), this), &QShortcut::activated, this,
            vantorix::guarded([this] { Label6Click(Label6); }));
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Enter), this), &QShortcut::activated, this,
            vantorix::guarded([this] { Label6Click(Label6); }));
}

bool TForm3::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        const auto modifiers = static_cast<QKeyEvent *>(event)->modifiers();
        const bool enter = (key == Qt::Key_Return || key == Qt::Key_Enter) && !(modifiers & Qt::ControlModifier);
        if (watched == ListBox1 && enter) {
            vantorix::atHandlerEdge([this] { Label7Click(ListBox1); });
            return true;
        }
        if (watched == ListBox2 && key == Qt::Key_Delete) {
            vantorix::atHandlerEdge([this] { Label9Click(ListBox2); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TForm3::keyPressEvent(QKeyEvent *event)
{
    // Escape would close the editor and silently drop the playlist: only
    // Cancel and the close box discard it.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TForm3::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        vantorix::atHandlerEdge([this] { FormShow(this); });
}

void TForm3::setHelpLines(const QStringList &lines)
{
    helpLines_ = lines;
    // The memo shows three lines: a help text of megabytes is shown cut,
    // since laying it out would freeze the window.
    QStringList shown;
    for (qsizetype i = 0; i < lines.size() && i < kShownHelpLines; ++i)
        shown.append(vantorix::shownText(lines.at(i), kShownHelpLength));
    if (lines.size() > kShownHelpLines)
        shown.append(QString(QChar(0x2026)));
    Memo1->setPlainText(shown.join(QLatin1Char('\n')));
}

QStringList TForm3::helpLines() const
{
    return helpLines_;
}

void TForm3::countRefresh()
{
    Label3->setText(tr("%n ROM(s)", nullptr, ListBox1->count()));
    Label4->setText(tr("%n ROM(s)", nullptr, ListBox2->count()));
    // A progress bar ignores values above its maximum: above the limit it
    // stays full.
    Bar1->setValue(qMin(ListBox2->count(), Bar1->maximum()));
}

void TForm3::FormShow(QObject *)
{
    ListBox1->clear();
    ListBox1->addItems(vantorix::listItems(Form1->ComboBox1));
    ListBox2->clear();
    // The keyboard starts on the available list, at its first entry:
    // Return adds it at once.
    ListBox1->setCurrentRow(ListBox1->count() > 0 ? 0 : -1);
    ListBox1->setFocus();
    Bar1->setMaximum(kPlaylistLimit);
    countRefresh();
    // How full the playlist is, against the most a configuration holds.
    const QString fullness = tr("%v of %m games in the playlist");
    Bar1->setFormat(fullness);
    Bar1->setTextVisible(true);
    Bar1->setToolTip(tr("The playlist holds at most %n game(s)", nullptr, kPlaylistLimit));
    Image1->setVisible(false);
    Image2->setVisible(false);
    if (vantorix::randomBelow(2) == 0)
        Image1->setVisible(true);
    else
        Image2->setVisible(true);
}

void TForm3::warnIfOverLimit()
{
    if (ListBox2->count() > kPlaylistLimit)
        vantorix::showNotice(tr("MAX ROMS: %1").arg(kPlaylistLimit));
}

void TForm3::Label7Click(QObject *)
{
    if (const QListWidgetItem *selected = ListBox1->currentItem(); selected && selected->isSelected())
        ListBox2->addItem(selected->text());
    countRefresh();
    ListBox2->scrollToBottom();
    warnIfOverLimit();
}

void TForm3::Label8Click(QObject *)
{
    ListBox2->addItems(vantorix::listItems(ListBox1));
    countRefresh();
    ListBox2->scrollToBottom();
    warnIfOverLimit();
}

void TForm3::Label9Click(QObject *)
{
    if (QListWidgetItem *selected = ListBox2->currentItem(); selected && selected->isSelected()) {
        delete selected;
        // The toolkit would select the next entry, and the next Remove
        // would delete it too.
        ListBox2->setCurrentRow(-1);
        ListBox2->clearSelection();
    }
    countRefresh();
}

void TForm3::Label10Click(QObject *)
{
    ListBox2->clear();
    countRefresh();
}

void TForm3::Label6Click(QObject *)
{
    if (ListBox2->count() > kPlaylistLimit) {
        vantorix::showNotice(tr(" Max ROMs for the playlist: %1").arg(kPlaylistLimit));
        return;
    }
    // The playlist starts empty: a user who only looked would lose every
    // game without a word.
    const int games = Form1->ComboBox1->count();
    if (ListBox2->count() == 0 && games > 0
        && !vantorix::askYesNo(tr("The playlist is empty: the game list of %n game(s) would be emptied. "
                                  "Empty it?", nullptr, games)))
        return;
    Form1->replaceGameList(vantorix::listItems(ListBox2));
    accept();
}

void TForm3::Label5Click(QObject *)
{
    reject();
}

void TForm3::Label11Click(QObject *)
{
    Form5->Label8->setText(Label8->text());
    Form5->exec();
}
