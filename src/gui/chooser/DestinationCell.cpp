#include "DestinationCell.h"

#include "DestinationGrid.h"
#include "DestinationTile.h"

DestinationCell::DestinationCell(QWidget *parent)
    : QWidget(parent)
    , m_destinationTile(new DestinationTile(this))
{
    // Each report goes to the grid with this cell, while there is a grid.
    const auto relay = [this](void (DestinationGrid::*report)(DestinationCell *)) {
        return [this, report] {
            if (m_owningGrid)
                (m_owningGrid->*report)(this);
        };
    };
    connect(m_destinationTile, &DestinationTile::tileDidHaveDeleteSelected, this,
        relay(&DestinationGrid::destinationCellDidHaveDeleteSelected));
    connect(m_destinationTile, &DestinationTile::tileDidBecomeHilited, this,
        relay(&DestinationGrid::destinationCellDidBecomeHilited));
    connect(m_destinationTile, &DestinationTile::tileDidBecomeUnhilited, this,
        relay(&DestinationGrid::destinationCellDidBecomeUnhilited));
    connect(m_destinationTile, &DestinationTile::tileDidReceiveDrag, this,
        [this](DestinationTile *, const QList<QUrl> &urls) {
            if (m_owningGrid)
                m_owningGrid->destinationCellDidReceiveDrag(this, urls);
        });
    connect(m_destinationTile, &DestinationTile::tileDidReceiveMouseDown, this,
        relay(&DestinationGrid::destinationCellDidReceiveMouseDown));
}

Destination *DestinationCell::destination() const
{
    return m_destinationTile->destination();
}

void DestinationCell::setDestination(Destination *destination)
{
    m_destinationTile->setDestination(destination);
}

void DestinationCell::setHilite(bool hilite)
{
    m_destinationTile->setHilite(hilite);
}

void DestinationCell::showConfigureButtons(bool show)
{
    m_destinationTile->showConfigureButtons(show);
}

void DestinationCell::prepareForDeletionWithCompletion(const std::function<void()> &completion)
{
    m_destinationTile->prepareForDeletionWithCompletion(completion);
}

void DestinationCell::resizeEvent(QResizeEvent *)
{
    m_destinationTile->setGeometry(rect());
}
