#pragma once

#include <QComboBox>
#include <QLabel>

class ListItemDelegate;

// The main window's game list: a drop-down list that cannot be typed into,
// rows of 16 pixels, eight shown at a time. Entries of any length are kept
// whole and shown cut; Return or Enter asks for a launch.
class GameListBox : public QComboBox {
    Q_OBJECT
public:
    explicit GameListBox(QWidget *parent = nullptr);

    ListItemDelegate *delegate() const { return delegate_; }

Q_SIGNALS:
    void launchRequested();

public:
    // The drop-down opens as wide as its longest entry, up to the screen's
    // width; what still does not fit is cut at its end.
    void showPopup() override;

protected:
    void initStyleOption(QStyleOptionComboBox *option) const override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    ListItemDelegate *delegate_;
};

// A one-line label that shows what does not fit elided in the middle with
// "…" and, on resting the pointer, the whole text as its tool-tip. Its
// text stays the whole line.
class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget *parent = nullptr);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QString shownLine() const;
};
