#include "windows/Unit2.h"

#include "widgets/ErrorBox.h"

#include "widgets/DialogStyle.h"

TForm2::TForm2(QWidget *parent) : QDialog(parent)
{
    setupUi(this);
    vantorix::makeFixedDialog(this);
    infoLabels_ = {Label01, Label02, Label03, Label04, Label05, Label06, Label07, Label08, Label09,
                   Label10, Label11, Label12, Label13, Label14, Label15, Label16, Label17, Label18,
                   Label19, Label20, Label21, Label22, Label23, Label24, Label25, Label26, Label27};
    connect(Label1, &LinkLabel::clicked, this, vantorix::guarded([this] { Label1Click(Label1); }));
}

void TForm2::Label1Click(QObject *)
{
    reject();
}
