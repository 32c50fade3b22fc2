#include "ShadowWidget.h"

#include <QGraphicsBlurEffect>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QPainter>

namespace {
const QColor kShadowColor(0, 0, 0, 110);
}

ShadowWidget::ShadowWidget(qreal radius, qreal offsetX, qreal offsetY, QWidget *parent)
    : QWidget(parent)
    , m_radius(radius)
    , m_offset(offsetX, offsetY)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(0, 0, 100, 100);
}

void ShadowWidget::applyToView(const QWidget *view)
{
    setGeometry(view->geometry().adjusted(-Margin, -Margin, Margin, Margin));
}

QImage ShadowWidget::renderShadow() const
{
    // The view's area, blurred by the radius, moved by the offset.
    QImage area(size(), QImage::Format_ARGB32_Premultiplied);
    area.fill(Qt::transparent);
    {
        QPainter painter(&area);
        painter.fillRect(
            rect().adjusted(Margin, Margin, -Margin, -Margin).translated(m_offset.toPoint()), kShadowColor);
    }
    QGraphicsScene scene;
    auto *item = scene.addPixmap(QPixmap::fromImage(area));
    auto *blur = new QGraphicsBlurEffect;
    blur->setBlurRadius(m_radius);
    item->setGraphicsEffect(blur);
    QImage shadow(size(), QImage::Format_ARGB32_Premultiplied);
    shadow.fill(Qt::transparent);
    QPainter painter(&shadow);
    scene.render(&painter, QRectF(rect()), QRectF(rect()));
    return shadow;
}

void ShadowWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, renderShadow());
}
