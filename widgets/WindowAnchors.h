#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <vector>

// Lets a window whose controls are placed by position grow beyond its
// design size, which stays its smallest: each anchored control takes its
// share of the growth into its position or its size, so that lists and
// fields widen while buttons stay by their edges; controls not anchored
// stay where they were designed.
class WindowAnchors : public QObject {
public:
    // Shares of the growth (0 to 1) across and down.
    struct Share {
        double moveX = 0;
        double moveY = 0;
        double growX = 0;
        double growY = 0;
    };
    static constexpr Share kGrowAcross{0, 0, 1, 0};
    static constexpr Share kFollowRight{1, 0, 0, 0};

    // The window's size now is its design size. growsDown: whether it may
    // grow down as well as across.
    WindowAnchors(QWidget *window, bool growsDown);

    void anchor(QWidget *control, Share share);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Anchored {
        QPointer<QWidget> control;
        QRect designed;
        Share share;
    };

    void place();

    QWidget *window_;
    QSize design_;
    std::vector<Anchored> anchored_;
};
