#pragma once

#include <QImage>
#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>

#include <functional>

class Destination;
class TileButtons;

// One tile of the Destination grid: the Destination's picture in a framed square, highlighted
// while files are dragged over it. It takes the drop, shows a configure and a delete button on
// request, offers the configure menu, and shrinks away before a removal. What happens reaches
// the grid that holds it through the signals.
class DestinationTile final : public QWidget
{
    Q_OBJECT

public:
    explicit DestinationTile(QWidget *parent = nullptr);

    Destination *destination() const { return m_destination; }
    void setDestination(Destination *destination);
    bool hilited() const { return m_hilited; }
    /// Highlights or not; a change is reported and redrawn.
    void setHilite(bool hilite);
    bool showsFocus() const { return m_showsFocus; }
    /// Marks the tile as the one the keys act on, with a ring inside its frame.
    void setShowsFocus(bool shows);
    float iconScale() const { return m_iconScale; }
    /// The space around the picture: 0.12 × the width, divided by the scale.
    static float iconInset(float width, float scale);

    /// Shows the configure and delete buttons the Destination allows, fading in; or removes both.
    void showConfigureButtons(bool show);
    TileButtons *buttons() const { return m_buttons; }
    /// Shrinks the picture away, then runs the completion; returns at once. A view deleted
    /// meanwhile runs nothing.
    void prepareForDeletionWithCompletion(const std::function<void()> &completion);

Q_SIGNALS:
    /// The delete button was clicked.
    void removalRequested(DestinationTile *tile);
    void hiliteChanged(DestinationTile *tile, bool hilited);
    /// Files were dropped on the tile.
    void filesDropped(DestinationTile *tile, const QList<QUrl> &urls);
    /// A mouse button went down on the tile.
    void pressed(DestinationTile *tile);

protected:
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    bool allowsUserInteraction() const;
    /// The Destination's picture at the tile's size, white when highlighted.
    const QImage &currentPicture();

    QPointer<Destination> m_destination;
    bool m_hilited = false;
    bool m_showsFocus = false;
    float m_iconScale = 1.0F;
    QSizeF m_pictureSize;
    QImage m_picture;
    QImage m_hilitedPicture;
    TileButtons *const m_buttons;
    QVariantAnimation m_removal;
};
