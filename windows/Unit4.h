#pragma once

#include "ui_Unit4.h"

#include <QDialog>

// The About window: the notice, a picture and the link to the web site.
// It stays on top of every window while it is shown.
class TForm4 : public QDialog, public Ui::TForm4 {
    Q_OBJECT
public:
    explicit TForm4(QWidget *parent = nullptr);

    void Label3Click(QObject *Sender);
    void Label1Click(QObject *Sender);
};
