#include "DestinationDesktop.h"

#include "core/support/Utilities.h"

using namespace Qt::Literals::StringLiterals;

DestinationDesktop::DestinationDesktop(const QString &name)
    : Destination(Utilities::filePathForSystemFolderWithID(QStandardPaths::DesktopLocation), name)
{
}

DestinationDesktop::DestinationDesktop(const KeyedCoder &coder)
    : Destination(coder)
{
}

QString DestinationDesktop::iconName() const
{
    return u"DesktopIcon"_s;
}
