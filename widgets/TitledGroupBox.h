#pragma once

#include <QGroupBox>

// A group box drawn as the main window's layout expects it: the frame's
// top line runs through the middle of the title, which is drawn over it,
// so that the controls placed just below the title stay clear of the frame.
class TitledGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit TitledGroupBox(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
