#pragma once

#include "Destination.h"

#include <QPointer>

class DropboxManager;

// Writes the archive into "Apps/Tessary" inside the user's Dropbox folder, from where the
// Dropbox client syncs it. Its owner hands it the Dropbox manager that knows that folder and asks
// for share links; the folder is made when an archive goes there, never on reading the list.
class DestinationDropbox final : public Destination
{
    Q_OBJECT

public:
    /// How a share link is sent on.
    enum SendLinkMethod : qint32 { SendLinkMethodEmail = 0, SendLinkMethodMessages = 1 };

    explicit DestinationDropbox(const QString &name);
    explicit DestinationDropbox(const KeyedCoder &coder);

    DestinationType type() const override { return DestinationTypeDropbox; }
    Traits traits() const override { return {Deletable, Renamable, Interactive, Configurable, ShowsCreatedNotice}; }
    bool shouldRevealZipUponCreation() const override { return m_revealZipUponCreation; }
    QString iconName() const override;
    void encodeWithCoder(KeyedCoder &coder) const override;
    /// Without a known Dropbox folder, lets the user pick one first; stops when there is none.
    void destinationWillBeUsedWithURLsToZip(const QList<QUrl> &urls, const WillBeUsedCompletion &completion) override;
    /// Asks for a share link when wanted, copies it and sends it on.
    void destinationWasUsedWithArchivePath(const QString &archivePath, const DeliveryCompletion &delivered) override;

    /// The manager of the Dropbox folder and the share links; the root follows its folder.
    void setDropboxManager(DropboxManager *manager);
    /// Sets the root to "Apps/Tessary" in the Dropbox folder in use; null while no folder is known.
    void defineRootFolderPath();
    /// Sends the link by e-mail (method 0) or message (method 1).
    void sendShareLink(
        const QString &link, const QString &archiveName, qint32 method, const DeliveryCompletion &delivered);

    bool createShareLinks() const { return m_createShareLinks; }
    void setCreateShareLinks(bool create) { m_createShareLinks = create; }
    bool sendShareLinks() const { return m_sendShareLinks; }
    void setSendShareLinks(bool send) { m_sendShareLinks = send; }
    qint32 sendLinkMethod() const { return m_sendLinkMethod; }
    void setSendLinkMethod(qint32 method) { m_sendLinkMethod = method; }
    bool revealZipUponCreation() const { return m_revealZipUponCreation; }
    void setRevealZipUponCreation(bool reveal) { m_revealZipUponCreation = reveal; }

private:
    bool m_createShareLinks = true;
    bool m_sendShareLinks = false;
    qint32 m_sendLinkMethod = SendLinkMethodEmail;
    bool m_revealZipUponCreation = false;
    QPointer<DropboxManager> m_dropboxManager;
};
