#pragma once

#include "Destination.h"

// Moves the archive into the user's iCloud Drive folder, which a sync client keeps at
// "~/iCloud Drive".
class DestinationICloud final : public Destination
{
    Q_OBJECT

public:
    explicit DestinationICloud(const QString &name);
    explicit DestinationICloud(const KeyedCoder &coder);

    /// "~/iCloud Drive"; the user is signed in exactly when it exists.
    static QString iCloudDrivePath();
    static bool isICloudAvailable();

    DestinationType type() const override { return DestinationTypeICloud; }
    Traits traits() const override { return {Deletable, Renamable, Interactive}; }
    QString iconName() const override;
    /// Moves the archive into the iCloud Drive "Documents" folder (in the background), asking
    /// before it replaces a file of the same name.
    void destinationWasUsedWithArchivePath(const QString &archivePath, const DeliveryCompletion &delivered) override;

    /// Where archives go: "~/iCloud Drive/Documents".
    static QString documentsPath();

private:
    static void moveIntoICloud(
        const QString &archivePath, UserInteraction &person, const DeliveryCompletion &delivered);
};
