#include "windows/Unit4.h"

#include "widgets/ErrorBox.h"

#include "app/FmxUtils.h"
#include "windows/AboutNotice.h"
#include "widgets/DialogStyle.h"


TForm4::TForm4(QWidget *parent) : QDialog(parent)
{
    setupUi(this);
    vantorix::makeFixedDialog(this, Qt::WindowStaysOnTopHint);
    setWindowTitle(vantorix::aboutCaption());
    // The notice, then whose the game names downloaded are.
    Memo1->setPlainText((vantorix::aboutNotice() + QStringList{QString(), QStringLiteral("Game names by No-Intro, via"),
                                                                QStringLiteral("libretro-database.")})
                            .join(QLatin1Char('\n')));
    Label3->setText(vantorix::webAddress());
    connect(Label3, &LinkLabel::clicked, this, vantorix::guarded([this] { Label3Click(Label3); }));
    connect(Label1, &LinkLabel::clicked, this, vantorix::guarded([this] { Label1Click(Label1); }));
}

void TForm4::Label3Click(QObject *)
{
    // Opens the address with the desktop's web browser; the window stays.
    ShellRunFile(vantorix::webAddress(), QString(), QString(), 1);
}

void TForm4::Label1Click(QObject *)
{
    reject();
}
