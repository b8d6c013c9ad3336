#pragma once

#include <QLabel>

// A label that acts as a button: hand cursor, action on click.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(QWidget *parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool pressed_ = false;
};

// The exit label: its text is a character of a symbol font. Where that font
// is not installed the pictogram is drawn instead.
class PictogramLabel : public LinkLabel {
    Q_OBJECT
public:
    explicit PictogramLabel(QWidget *parent = nullptr);
    bool drawsPictogram() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};
