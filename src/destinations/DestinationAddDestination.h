#pragma once

#include "Destination.h"

// The "Add New Destination" tile at the end of the grid.
class DestinationAddDestination final : public Destination
{
    Q_OBJECT

public:
    explicit DestinationAddDestination(const QString &name);
    explicit DestinationAddDestination(const KeyedCoder &coder);

    DestinationType type() const override { return DestinationTypeAddDestination; }
    bool canBeDeleted() const override { return false; }
    bool canBeRenamed() const override { return false; }
    void defineIcon() override;
};
