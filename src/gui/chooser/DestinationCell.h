#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

class Destination;
class DestinationGrid;
class DestinationTile;

// One item of the Destination grid: holds a DestinationTile, keeps it the item's size, and
// passes what happens on it to the grid that owns the item.
class DestinationCell final : public QWidget
{
    Q_OBJECT

public:
    explicit DestinationCell(QWidget *parent = nullptr);

    Destination *destination() const;
    void setDestination(Destination *destination);
    void setOwningGrid(DestinationGrid *chooser) { m_owningGrid = chooser; }
    DestinationTile *destinationTile() const { return m_destinationTile; }

    void setHilite(bool hilite);
    void showConfigureButtons(bool show);
    void prepareForDeletionWithCompletion(const std::function<void()> &completion);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QPointer<DestinationGrid> m_owningGrid;
    DestinationTile *m_destinationTile;
};
