#pragma once

#include "Destination.h"

// The inert tile that fills the last row of a grid: no name, no picture, no reaction.
// It is never stored.
class DestinationDummy final : public Destination
{
    Q_OBJECT

public:
    DestinationDummy();

    DestinationType type() const override { return DestinationTypeDummy; }
    Traits traits() const override { return {}; }
};
