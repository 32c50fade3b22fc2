#include "DestinationFolder.h"

#include "core/support/KeyedCoder.h"
#include "core/support/Utilities.h"

#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kRevealKey = u"Reveal"_s;
}

DestinationFolder::DestinationFolder(const QString &rootFolderPath, const QString &name)
    : Destination(rootFolderPath, name)
{
}

DestinationFolder::DestinationFolder(const KeyedCoder &coder)
    : Destination(coder)
    , m_revealZipUponCreation(coder.decodeBool(kRevealKey))
{
}

void DestinationFolder::destinationWillBeUsedWithURLsToZip(
    const QList<QUrl> &urls, const WillBeUsedCompletion &completion)
{
    // A folder that is gone (moved, removed, on a disk not connected) is not made again
    // somewhere the user does not look.
    if (!rootFolderPath().isEmpty() && !QFileInfo(rootFolderPath()).isDir()) {
        completion(Error::refusal(u"Folder Not Found"_s,
            u"The folder \"%1\" of the Destination \"%2\" could not be found, so no archive was made. It may "
            "have been moved or removed, or its disk may not be connected."_s.arg(rootFolderPath(), name())));
        return;
    }
    Destination::destinationWillBeUsedWithURLsToZip(urls, completion);
}

QString DestinationFolder::iconName() const
{
    return u"FolderIcon"_s;
}

void DestinationFolder::encodeWithCoder(KeyedCoder &coder) const
{
    coder.encodeBool(kRevealKey, m_revealZipUponCreation);
    Destination::encodeWithCoder(coder);
}
