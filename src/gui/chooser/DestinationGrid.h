#pragma once

#include "core/destinations/Destination.h"

#include <QList>
#include <QPointer>
#include <QSizeF>
#include <QUrl>
#include <QWidget>

class DestinationTile;
class PointerHover;
class QLabel;

// The Destinations as a grid of square tiles in reading order, without spacing, the last row
// filled with placeholders, and a one-line caption beneath naming the highlighted tile. Where a
// click picks a tile, so does the keyboard: Tab reaches the grid, which marks the tile in focus
// (the first until one is picked), the arrow keys move the choice from there, Space picks the
// tile in focus, and Return picks it where none is picked yet and then goes on to the window.
class DestinationGrid final : public QWidget
{
    Q_OBJECT

public:
    /// What the tiles react to (bits).
    enum InteractionOption {
        InteractionHover = 1, ///< 1 or 2: the tile under the pointer is highlighted and
        InteractionHoverAlternate = 2, ///<         shows its configure buttons
        InteractionClickHighlights = 4, ///< a mouse-down highlights the tile
        InteractionClickActs = 8, ///< a mouse-down runs the Destination's click action
    };
    static constexpr int CaptionHeight = 22;

    DestinationGrid(const QSizeF &iconSize, QWidget *parent = nullptr);
    ~DestinationGrid() override;

    /// Lays out the grid for the Destinations (0 columns: chosen from their number) and sizes
    /// the view to fit.
    void setDestinations(const DestinationList &destinations, int columnCount = 0);
    /// Rebuilds the tiles shortly (not inside the call that asks for it).
    void reloadTiles();

    /// The Destinations shown, placeholders included.
    const DestinationList &destinations() const { return m_destinations; }
    qsizetype rowCount() const { return m_rowCount; }
    qsizetype columnCount() const { return m_columnCount; }
    void setInteractionOptions(int options);
    DestinationTile *hilitedTile() const { return m_hilitedTile; }
    /// The Destination of the highlighted tile; null for none.
    DestinationPointer hilitedDestination() const;
    DestinationTile *configurableTile() const { return m_configurableTile; }
    /// Whether the tiles take drops (filesDropped()) and their removal (through the remover); a
    /// grid only for choosing does neither.
    void setTakesDrops(bool takesDrops);
    /// Removes a Destination whose removal the user confirmed; true lets its tile go.
    using Remover = std::function<bool(Destination *destination)>;
    void setRemover(Remover remover) { m_remover = std::move(remover); }
    /// The tiles, in order (empty until the grid has been built).
    QList<DestinationTile *> tiles() const { return m_tiles; }
    QString caption() const;

Q_SIGNALS:
    /// Files were dropped on the Destination's tile.
    void filesDropped(const DestinationPointer &destination, const QList<QUrl> &urls);
    /// A click picked the Destination's tile (where a click picks one).
    void tileClicked(const DestinationPointer &destination);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void setHilitedTile(DestinationTile *tile);
    /// A mouse-down on the tile, or the keys that pick it.
    void pressTile(DestinationTile *tile);
    /// The tile under the pointer is highlighted and shows its buttons.
    void hoverAt(const QPoint &globalPosition);
    void rebuildTiles();
    /// Marks the tile the keys act on while the grid has the keyboard.
    void showFocus();
    /// The tile's tooltip and accessible name, and the caption while it is highlighted: its name.
    void describeTile(DestinationTile *tile);
    /// Asks whether the Destination is to go, and removes its tile when the owner lets it.
    void confirmRemoval(const DestinationPointer &destination);

    DestinationList m_destinations;
    qsizetype m_rowCount = 0;
    qsizetype m_columnCount = 0;
    const QSizeF m_iconSize;
    int m_interactionOptions = 0;
    QPointer<DestinationTile> m_hilitedTile;
    QPointer<DestinationTile> m_configurableTile;
    bool m_takesDrops = false;
    Remover m_remover;
    QWidget *m_grid;
    QLabel *m_currentDestinationNameLabel;
    QList<DestinationTile *> m_tiles;
    PointerHover *m_hover;
};
