#include "DestinationAirDrop.h"

#include "SharingDelivery.h"
#include "platform/SharingServices.h"

using namespace Qt::Literals::StringLiterals;

DestinationAirDrop::DestinationAirDrop(const QString &name)
    : Destination(internalFolderPath(), name)
{
}

DestinationAirDrop::DestinationAirDrop(const KeyedCoder &coder)
    : Destination(coder)
{
}

void DestinationAirDrop::defineIcon()
{
    defineIconNamed(u"AirDropIcon"_s);
}

void DestinationAirDrop::destinationWasUsedWithArchivePath(
    const QString &archivePath, const DeliveryCompletion &delivered)
{
    SharingServices::instance().shareNearby(archivePath, delivered);
}
