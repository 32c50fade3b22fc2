#pragma once

#include "core/destinations/Destination.h"

#include <QList>
#include <QUrl>

// Told of what the user does with the tiles; used on the GUI thread.
class DestinationGridListener
{
public:
    virtual ~DestinationGridListener() = default;
    /// Files were dropped on the Destination's tile.
    virtual void destinationDidReceiveDragAndDrop(const DestinationPointer &destination, const QList<QUrl> &urls) = 0;
    /// The user confirmed the removal; true lets the tile go.
    virtual bool removalOfDestinationRequested(Destination *destination) = 0;
};
