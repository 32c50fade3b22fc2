#pragma once

#include "Destination.h"

// Offers the archive to a nearby device.
class DestinationAirDrop final : public Destination
{
    Q_OBJECT

public:
    explicit DestinationAirDrop(const QString &name);
    explicit DestinationAirDrop(const KeyedCoder &coder);

    DestinationType type() const override { return DestinationTypeAirDrop; }
    Traits traits() const override { return {Deletable, Renamable, Interactive}; }
    QString iconName() const override;
    /// Offers the archive file, and only it, to a nearby device.
    void destinationWasUsedWithArchivePath(const QString &archivePath, const DeliveryCompletion &delivered) override;
};
