#include "SharingDelivery.h"

#include "support/Utilities.h"

#include <QFileInfo>

namespace SharingDelivery {

QString archiveName(const QString &archivePath)
{
    return Utilities::nameOfFileSystemItemAtPath(archivePath);
}

SharingServices::Completion reportingProblems(const Destination::DeliveryCompletion &delivered)
{
    return [delivered](const QString &problem) {
        if (!problem.isEmpty())
            Utilities::reportError(Utilities::errorWithCode(0, problem));
        if (delivered)
            delivered();
    };
}

} // namespace SharingDelivery
