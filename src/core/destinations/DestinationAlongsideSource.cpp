#include "DestinationAlongsideSource.h"

#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

DestinationAlongsideSource::DestinationAlongsideSource(const QString &name)
    : Destination(internalFolderPath(), name)
{
}

DestinationAlongsideSource::DestinationAlongsideSource(const KeyedCoder &coder)
    : Destination(coder)
{
}

QString DestinationAlongsideSource::iconName() const
{
    return u"AlongsideIcon"_s;
}

void DestinationAlongsideSource::destinationWillBeUsedWithURLsToZip(
    const QList<QUrl> &urls, const WillBeUsedCompletion &completion)
{
    if (!urls.isEmpty())
        setRootFolderPath(QFileInfo(urls.first().toLocalFile()).path() + u'/');
    completion(prepareFinalFolder());
}
