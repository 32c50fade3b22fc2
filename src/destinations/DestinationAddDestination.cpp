#include "DestinationAddDestination.h"

using namespace Qt::Literals::StringLiterals;

DestinationAddDestination::DestinationAddDestination(const QString &name)
    : Destination(internalFolderPath(), name)
{
}

DestinationAddDestination::DestinationAddDestination(const KeyedCoder &coder)
    : Destination(coder)
{
}

void DestinationAddDestination::defineIcon()
{
    defineIconNamed(u"PlusSign"_s);
}
