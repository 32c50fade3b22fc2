#pragma once

#include <QTimer>
#include <QWidget>

// A small spinning activity indicator: twelve spokes, the brightest one going round.
class SpinnerWidget final : public QWidget
{
    Q_OBJECT

public:
    explicit SpinnerWidget(QWidget *parent = nullptr);

    void startAnimation();
    bool isAnimating() const { return m_timer.isActive(); }

    QSize sizeHint() const override { return {16, 16}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QTimer m_timer;
    int m_step = 0;
};
