#pragma once

#include "ui_Unit2.h"

#include <QDialog>

#include <array>

// The Info window: the nine info lines of the checked emulator slot. Its 27
// labels are where the program keeps the info lines.
class TForm2 : public QDialog, public Ui::TForm2 {
    Q_OBJECT
public:
    explicit TForm2(QWidget *parent = nullptr);

    void Label1Click(QObject *Sender);

    // Label01 to Label27 by index 0 to 26.
    QLabel *infoLabel(int index) const { return infoLabels_.at(size_t(index)); }

private:
    std::array<QLabel *, 27> infoLabels_;
};
