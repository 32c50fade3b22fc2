#pragma once

#include "Destination.h"

// Writes the archive onto the user's Desktop.
class DestinationDesktop final : public Destination
{
    Q_OBJECT

public:
    explicit DestinationDesktop(const QString &name);
    explicit DestinationDesktop(const KeyedCoder &coder);

    DestinationType type() const override { return DestinationTypeDesktop; }
    Traits traits() const override { return {Deletable, Renamable, Interactive}; }
    QString iconName() const override;
};
