#include "DestinationDropbox.h"

#include "DropboxManager.h"
#include "SharingDelivery.h"
#include "SharingServices.h"
#include "core/support/KeyedCoder.h"
#include "core/support/UserInteraction.h"
#include "core/support/Utilities.h"

#include <QFileInfo>
#include <QPointer>

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kRevealKey = u"Reveal"_s;
const QString kCreateShareLinkKey = u"Create Share Link"_s;
const QString kSendShareLinkKey = u"Send Share Link"_s;
const QString kSendLinkMethodKey = u"Send Link Method"_s;
} // namespace

DestinationDropbox::DestinationDropbox(const QString &name)
    : Destination(QString(), name)
{
}

DestinationDropbox::DestinationDropbox(const KeyedCoder &coder)
    : Destination(coder)
    , m_createShareLinks(coder.decodeBool(kCreateShareLinkKey))
    , m_sendShareLinks(coder.decodeBool(kSendShareLinkKey))
    , m_sendLinkMethod(static_cast<qint32>(coder.decodeInt64(kSendLinkMethodKey)))
    , m_revealZipUponCreation(coder.decodeBool(kRevealKey))
{
}

void DestinationDropbox::setDropboxManager(DropboxManager *manager)
{
    m_dropboxManager = manager;
    defineRootFolderPath();
}

void DestinationDropbox::defineRootFolderPath()
{
    const QString dropboxFolder = m_dropboxManager ? m_dropboxManager->dropboxFolderPath() : QString();
    setRootFolderPath(dropboxFolder.isEmpty() ? QString() : dropboxFolder + u"/Apps/Tessary"_s);
}

QString DestinationDropbox::iconName() const
{
    return u"DropboxIcon"_s;
}

void DestinationDropbox::encodeWithCoder(KeyedCoder &coder) const
{
    coder.encodeBool(kRevealKey, m_revealZipUponCreation);
    coder.encodeBool(kCreateShareLinkKey, m_createShareLinks);
    coder.encodeBool(kSendShareLinkKey, m_sendShareLinks);
    coder.encodeInt64(kSendLinkMethodKey, m_sendLinkMethod);
    Destination::encodeWithCoder(coder);
}

void DestinationDropbox::destinationWillBeUsedWithURLsToZip(
    const QList<QUrl> &urls, const WillBeUsedCompletion &completion)
{
    Q_UNUSED(urls);
    defineRootFolderPath();
    if (rootFolderPath().isNull() && m_dropboxManager) {
        m_dropboxManager->locateDropboxFolder();
        defineRootFolderPath();
    }
    // No Dropbox folder chosen: the user cancelled its chooser.
    completion(rootFolderPath().isNull() ? Error::cancellation() : prepareFinalFolder());
}

void DestinationDropbox::destinationWasUsedWithArchivePath(
    const QString &archivePath, const DeliveryCompletion &delivered)
{
    if (!m_createShareLinks || !m_dropboxManager) {
        delivered({});
        return;
    }
    const QString fileName = QFileInfo(archivePath).fileName();
    const QPointer<DestinationDropbox> self(this);
    m_dropboxManager->createShareLinkToFileInDropboxAtPath(u"Apps/Tessary/%1"_s.arg(fileName),
        [self, &person = user(), fileName, delivered](const QString &link, const Error &error) {
            if (!error.isNull()) {
                delivered(u"Tessary was unable to generate a link to '%1'"_s.arg(fileName));
                return;
            }
            SharingServices::instance().copyToClipboard(link);
            person.systemNotification(u"Sharing '%1'"_s.arg(fileName),
                u"A link to '%1' has been copied to your clipboard"_s.arg(fileName), {}, {});
            if (self && self->m_sendShareLinks)
                self->sendShareLink(link, fileName, self->m_sendLinkMethod, delivered);
            else
                delivered({});
        });
}

void DestinationDropbox::sendShareLink(
    const QString &link, const QString &archiveName, qint32 method, const DeliveryCompletion &delivered)
{
    const QString fullName = Utilities::fullUserName();
    switch (method) {
    case SendLinkMethodEmail:
        SharingServices::instance().composeEmail(u"A Tessary Archive for You: %1"_s.arg(archiveName),
            u"Hi, here is a link to the Tessary Archive  \"%1\": \r\r   \u2022 %2\r\rThanks,\r\n%3\r\n\r\n"_s.arg(
                archiveName, link, fullName),
            {}, QString(), delivered);
        break;
    case SendLinkMethodMessages:
        SharingServices::instance().composeMessage(
            u"Hi, here is a Tessary Archive for You: %1.\r\rAnd here is a link you can use to download it:\r\r   "
            "\u2022 %2\r\rThanks,\r\n%3\r\n\r\n"_s.arg(archiveName, link, fullName),
            {}, QString(), delivered);
        break;
    default:
        delivered({});
    }
}
