#pragma once

#include "Destination.h"

// Writes the archive into the folder that holds the first of the zipped items.
class DestinationAlongsideSource final : public Destination
{
    Q_OBJECT

public:
    explicit DestinationAlongsideSource(const QString &name);
    explicit DestinationAlongsideSource(const KeyedCoder &coder);

    DestinationType type() const override { return DestinationTypeAlongsideSource; }
    Traits traits() const override { return {Deletable, Renamable, Interactive}; }
    QString iconName() const override;
    /// Makes the folder of the first item the root ("FOLDER/"), then goes on.
    void destinationWillBeUsedWithURLsToZip(const QList<QUrl> &urls, const WillBeUsedCompletion &completion) override;
};
