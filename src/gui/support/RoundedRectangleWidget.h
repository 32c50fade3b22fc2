#pragma once

#include <QColor>
#include <QPainterPath>
#include <QSizeF>
#include <QWidget>

// A filled and optionally outlined rounded rectangle: the background of the on-screen notice and
// the frame of the introduction's pages.
class RoundedRectangleWidget final : public QWidget
{
    Q_OBJECT

public:
    explicit RoundedRectangleWidget(QWidget *parent = nullptr);

    /// The rounded rectangle of the rectangle: straight edges joined by quarter circles of the
    /// radius, starting at the top edge.
    static QPainterPath generatePath(const QRectF &frame, qreal cornerRadius);

    qreal cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(qreal radius) { m_cornerRadius = radius; }
    void setRenderBorder(bool render);
    void setBorderWidth(qreal width) { m_borderWidth = width; }
    void setBackgroundColor(const QColor &color) { m_backgroundColor = color; }
    void setBorderColor(const QColor &color) { m_borderColor = color; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal m_cornerRadius = 10.0;
    bool m_renderBorder = false;
    qreal m_borderWidth = 0.0;
    QColor m_backgroundColor = Qt::black;
    QColor m_borderColor;
};
