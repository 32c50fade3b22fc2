#include "SharingDelivery.h"

#include "core/support/Utilities.h"

#include <QFileInfo>

namespace SharingDelivery {

QString archiveName(const QString &archivePath)
{
    return Utilities::nameOfFileSystemItemAtPath(archivePath);
}

} // namespace SharingDelivery
