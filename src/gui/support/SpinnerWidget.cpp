#include "SpinnerWidget.h"

#include <QPainter>

namespace {
constexpr int kSpokes = 12;
constexpr int kStepMs = 80;
} // namespace

SpinnerWidget::SpinnerWidget(QWidget *parent)
    : QWidget(parent)
{
    m_timer.setInterval(kStepMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_step = (m_step + 1) % kSpokes;
        update();
    });
}

void SpinnerWidget::startAnimation()
{
    m_timer.start();
    update();
}

void SpinnerWidget::paintEvent(QPaintEvent *)
{
    if (!isAnimating())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = std::min(width(), height());
    painter.translate(width() / 2.0, height() / 2.0);
    QColor color = palette().color(QPalette::WindowText);
    for (int i = 0; i < kSpokes; ++i) {
        const int age = (m_step - i + kSpokes) % kSpokes;
        color.setAlphaF(1.0f - static_cast<float>(age) / kSpokes * 0.85f);
        painter.setPen(QPen(color, side / 10.0, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(0, -side * 0.22), QPointF(0, -side * 0.45));
        painter.rotate(360.0 / kSpokes);
    }
}
