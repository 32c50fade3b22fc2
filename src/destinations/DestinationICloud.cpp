#include "DestinationICloud.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

DestinationICloud::DestinationICloud(const QString &name)
    : Destination(internalFolderPath(), name)
{
}

DestinationICloud::DestinationICloud(const KeyedCoder &coder)
    : Destination(coder)
{
}

QString DestinationICloud::iCloudDrivePath()
{
    return QDir::homePath() + u"/iCloud Drive"_s;
}

bool DestinationICloud::isICloudAvailable()
{
    return QFileInfo(iCloudDrivePath()).isDir();
}

void DestinationICloud::defineIcon()
{
    defineIconNamed(u"iCloudIcon"_s);
}
