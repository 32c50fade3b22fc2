#pragma once

#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QPoint>
#include <QUrl>
#include <QWidget>

#include <optional>

// Tessary's own place on the screen: a small window above the others that carries the status
// image and takes the files dragged to Tessary (a tray icon cannot take drops). It highlights
// while a drag is over it, reports a click, and can be moved with the left button. It never
// takes the keyboard focus.
class DropPad final : public QWidget
{
    Q_OBJECT

public:
    /// The pad's side, in logical pixels.
    static constexpr int Side = 40;

    DropPad();

    bool isHilited() const { return m_hilited; }
    void setHilited(bool hilited);
    /// Puts the pad at the place, kept wholly on a screen; no place (or one off every screen)
    /// means its first place, the top-right corner of the primary screen.
    void placeAt(const std::optional<QPoint> &place);

Q_SIGNALS:
    void dragEntered();
    void dragExited();
    /// The drag over the pad was given up (Escape) while the pointer stayed on the pad.
    void dragCancelled();
    /// A drop on the pad, with every URL it carried.
    void dropped(const QList<QUrl> &urls);
    /// A click without a move, with the left or the right button.
    void clicked();
    /// The user has moved the pad; this is where it stands now.
    void moved(const QPoint &place);

protected:
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QPainterPath outline() const;
    /// The status image at the pad's size and pixel ratio, white while highlighted.
    const QImage &currentImage();

    bool m_hilited = false;
    std::optional<QPoint> m_pressPosition;
    QPoint m_placeAtPress;
    bool m_moving = false;
    qreal m_imageRatio = 0.0;
    QImage m_image;
    QImage m_hilitedImage;
};
