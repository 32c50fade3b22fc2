#pragma once

#include <QWidget>

// A soft drop shadow around another view: placed behind the view, 50 points larger on every
// side, it darkens the margin around the view's area.
class ShadowWidget final : public QWidget
{
    Q_OBJECT

public:
    /// The margin around the view the shadow falls into.
    static constexpr int Margin = 50;

    ShadowWidget(qreal radius, qreal offsetX, qreal offsetY, QWidget *parent = nullptr);

    /// Takes the view's frame grown by the margin; the caller adds the shadow to the view's parent
    /// (below the view).
    void applyToView(const QWidget *view);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage renderShadow() const;

    qreal m_radius;
    QPointF m_offset;
};
