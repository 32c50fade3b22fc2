#pragma once

#include <QImage>
#include <QPointer>
#include <QToolButton>
#include <QVariantAnimation>
#include <QWidget>

#include <functional>

class Destination;
class QMenu;

// One tile of the Destination grid: the Destination's picture in a framed square, highlighted
// while files are dragged over it. It takes the drop, shows a configure and a delete button on
// request, offers the configure menu, and shrinks away before a removal. What happens reaches
// the grid that holds it through the signals.
class DestinationTile final : public QWidget
{
    Q_OBJECT

public:
    /// Side of the configure and delete buttons, and their distance from the edges.
    static constexpr int ButtonSize = 18;
    static constexpr int ButtonMargin = 3;

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

    /// Shows the configure button (for a Destination that can be renamed or configured) and the
    /// delete button (for one that can be deleted), fading in; or removes both.
    void showConfigureButtons(bool show);
    QToolButton *configureButton() const { return m_configureButton; }
    QToolButton *deleteButton() const { return m_deleteButton; }
    /// The configure button's menu: "Configure "NAME"..." and a separator where the Destination
    /// can be configured, then "Change Name...". The caller owns it.
    QMenu *createConfigureMenu();
    /// Shrinks the picture away, then runs the completion; returns at once. A view deleted
    /// meanwhile runs nothing.
    void prepareForDeletionWithCompletion(const std::function<void()> &completion);

Q_SIGNALS:
    void tileDidHaveDeleteSelected(DestinationTile *view);
    void tileDidBecomeHilited(DestinationTile *view);
    void tileDidBecomeUnhilited(DestinationTile *view);
    /// Files were dropped on the tile.
    void tileDidReceiveDrag(DestinationTile *view, const QList<QUrl> &urls);
    void tileDidReceiveMouseDown(DestinationTile *view);

protected:
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QToolButton *makeButton(const QString &imageName, int x);
    void configureButtonPressed();
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
    QPointer<QToolButton> m_configureButton;
    QPointer<QToolButton> m_deleteButton;
    QVariantAnimation m_removal;
};
