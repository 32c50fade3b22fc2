#include "DestinationEditor.h"

#include "DestinationDropboxConfigureWindowController.h"
#include "DestinationEmailConfigureWindowController.h"
#include "DestinationFTPConfigureWindowController.h"
#include "DestinationMessagesWindowController.h"
#include "DestinationNameWindowController.h"
#include "core/destinations/DestinationDropbox.h"
#include "core/destinations/DestinationEmail.h"
#include "core/destinations/DestinationFTP.h"
#include "core/destinations/DestinationMessages.h"
#include "core/destinations/DropboxManager.h"

namespace {

// Each runs the kind's dialog and answers whether it was cancelled.
bool configureDropbox(DestinationDropbox &dropbox)
{
    bool wasCancelled = true;
    DestinationDropboxConfigureWindowController(dropbox.createShareLinks(), dropbox.sendShareLinks(),
        dropbox.sendLinkMethod(), DropboxManager::accessToken(),
        [&](bool cancelled, bool create, bool send, qint32 method, const QString &token) {
            wasCancelled = cancelled;
            if (cancelled)
                return;
            dropbox.setCreateShareLinks(create);
            dropbox.setSendShareLinks(send);
            dropbox.setSendLinkMethod(method);
            if (token != DropboxManager::accessToken())
                DropboxManager::setAccessToken(token);
            dropbox.noteChange();
        })
        .runModal();
    return wasCancelled;
}

bool configureEmail(DestinationEmail &email)
{
    bool wasCancelled = true;
    DestinationEmailConfigureWindowController(email.emailAddresses(), email.subject(), email.body(),
        [&](bool cancelled, const QStringList &recipients, const QString &subject, const QString &body) {
            wasCancelled = cancelled;
            if (cancelled)
                return;
            email.setEmailAddresses(recipients);
            email.setSubject(subject);
            email.setBody(body);
            email.setHasBeenConfigured(true);
            email.noteChange();
        })
        .runModal();
    return wasCancelled;
}

bool configureFTP(DestinationFTP &ftp)
{
    bool wasCancelled = true;
    DestinationFTPConfigureWindowController(ftp.serverAddress(), ftp.serverPort(), ftp.userName(), ftp.password(),
        ftp.uploadFolderPath(), ftp.confirmReplacementOfExistingFiles(),
        [&](bool cancelled, const QString &address, qint64 port, const QString &userName, const QString &password,
            const QString &folderPath, bool confirm) {
            wasCancelled = cancelled;
            if (cancelled)
                return;
            ftp.setServerAddress(address);
            ftp.setServerPort(port);
            ftp.setUserName(userName);
            ftp.setPassword(password);
            ftp.setUploadFolderPath(folderPath);
            ftp.setConfirmReplacementOfExistingFiles(confirm);
            ftp.noteChange();
        })
        .runModal();
    return wasCancelled;
}

bool configureMessages(DestinationMessages &messages)
{
    bool wasCancelled = true;
    DestinationMessagesWindowController(messages.subject(), messages.recipients(),
        [&](bool cancelled, const QString &text, const QStringList &recipients) {
            wasCancelled = cancelled;
            if (cancelled)
                return;
            messages.setSubject(text);
            messages.setRecipients(recipients);
            messages.noteChange();
        })
        .runModal();
    return wasCancelled;
}

} // namespace

void DestinationEditor::configure(Destination &destination, const Destination::ConfigureCompletion &completion)
{
    bool cancelled = false;
    switch (destination.type()) {
    case Destination::DestinationTypeDropbox:
        cancelled = configureDropbox(static_cast<DestinationDropbox &>(destination));
        break;
    case Destination::DestinationTypeEmail:
        cancelled = configureEmail(static_cast<DestinationEmail &>(destination));
        break;
    case Destination::DestinationTypeFTP:
        cancelled = configureFTP(static_cast<DestinationFTP &>(destination));
        break;
    case Destination::DestinationTypeMessages:
        cancelled = configureMessages(static_cast<DestinationMessages &>(destination));
        break;
    default:
        break;
    }
    if (completion)
        completion(cancelled);
}

void DestinationEditor::rename(Destination &destination)
{
    DestinationNameWindowController(destination.name(), [&destination](bool cancelled, const QString &name) {
        if (cancelled)
            return;
        destination.setName(name);
        destination.noteChange();
    }).runModal();
}
