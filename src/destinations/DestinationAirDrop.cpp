#include "DestinationAirDrop.h"

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
