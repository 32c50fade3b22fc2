#include "DestinationAirDrop.h"

#include "SharingDelivery.h"
#include "SharingServices.h"

using namespace Qt::Literals::StringLiterals;

DestinationAirDrop::DestinationAirDrop(const QString &name)
    : Destination(internalFolderPath(), name)
{
}

DestinationAirDrop::DestinationAirDrop(const KeyedCoder &coder)
    : Destination(coder)
{
}

QString DestinationAirDrop::iconName() const
{
    return u"AirDropIcon"_s;
}

void DestinationAirDrop::destinationWasUsedWithArchivePath(
    const QString &archivePath, const DeliveryCompletion &delivered)
{
    SharingServices::instance().shareNearby(archivePath, delivered);
}
