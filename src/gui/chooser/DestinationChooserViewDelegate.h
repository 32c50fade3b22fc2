#pragma once

class Destination;

// Told of what the user does with the tiles; used on the GUI thread.
class DestinationChooserViewDelegate
{
public:
    virtual ~DestinationChooserViewDelegate() = default;
    /// Files were dropped on the Destination's tile (they are in its dragOperation()).
    virtual void destinationDidReceiveDragAndDrop(Destination *destination) = 0;
    /// The user confirmed the removal; true lets the tile go.
    virtual bool removalOfDestinationRequested(Destination *destination) = 0;
};
