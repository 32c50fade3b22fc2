#include "DestinationDummy.h"

using namespace Qt::Literals::StringLiterals;

DestinationDummy::DestinationDummy()
    : Destination(QString(), u""_s)
{
}
