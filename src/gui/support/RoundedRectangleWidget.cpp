#include "RoundedRectangleWidget.h"

#include <QPainter>

RoundedRectangleWidget::RoundedRectangleWidget(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

QPainterPath RoundedRectangleWidget::generatePath(const QRectF &frame, qreal cornerRadius)
{
    QPainterPath path;
    if (cornerRadius <= 0) {
        // The quarter circles shrink to the corners.
        path.addRect(frame);
        return path;
    }
    const qreal r = cornerRadius;
    const qreal d = 2 * r;
    path.moveTo(frame.left() + r, frame.top());
    path.arcTo(QRectF(frame.right() - d, frame.top(), d, d), 90, -90);
    path.arcTo(QRectF(frame.right() - d, frame.bottom() - d, d, d), 0, -90);
    path.arcTo(QRectF(frame.left(), frame.bottom() - d, d, d), 270, -90);
    path.arcTo(QRectF(frame.left(), frame.top(), d, d), 180, -90);
    path.closeSubpath();
    return path;
}

void RoundedRectangleWidget::setRenderBorder(bool render)
{
    m_renderBorder = render;
    update();
}

void RoundedRectangleWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF drawn(rect());
    painter.fillPath(generatePath(drawn, m_cornerRadius), m_backgroundColor);
    if (m_renderBorder) {
        // Inset so that a 2-point border runs exactly along the drawn rectangle's edge.
        const qreal borderInset = m_borderWidth - 2.0;
        const QRectF border = drawn.adjusted(borderInset, borderInset, -borderInset, -borderInset);
        painter.strokePath(generatePath(border, m_cornerRadius), QPen(m_borderColor, m_borderWidth));
    }
}
