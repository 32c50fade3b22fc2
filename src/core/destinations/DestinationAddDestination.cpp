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

QString DestinationAddDestination::iconName() const
{
    return u"PlusSign"_s;
}

void DestinationAddDestination::destinationWillBeUsedWithURLsToZip(
    const QList<QUrl> &urls, const WillBeUsedCompletion &completion)
{
    openMenu(urls, false);
    completion(Error::cancellation());
}

void DestinationAddDestination::handleClickAction()
{
    openMenu({}, true);
}

void DestinationAddDestination::openMenu(const QList<QUrl> &urls, bool autoConfigureNewlyCreatedDestinations) const
{
    if (m_menuOpener)
        m_menuOpener(urls, autoConfigureNewlyCreatedDestinations);
}
