#include "DestinationDesktop.h"

#include "support/Utilities.h"

using namespace Qt::Literals::StringLiterals;

DestinationDesktop::DestinationDesktop(const QString &name)
    : Destination(Utilities::filePathForSystemFolderWithID(QStandardPaths::DesktopLocation), name)
{
}

DestinationDesktop::DestinationDesktop(const KeyedCoder &coder)
    : Destination(coder)
{
}

void DestinationDesktop::defineIcon()
{
    defineIconNamed(u"DesktopIcon"_s);
}
