#include "DestinationEditor.h"

#include "DropboxSettingsDialog.h"
#include "EmailSettingsDialog.h"
#include "FTPSettingsDialog.h"
#include "MessagesSettingsDialog.h"
#include "core/destinations/DestinationDropbox.h"
#include "core/destinations/DestinationEmail.h"
#include "core/destinations/DestinationFTP.h"
#include "core/destinations/DestinationMessages.h"
#include "core/destinations/DropboxManager.h"
#include "core/support/Utilities.h"
#include "gui/prompts/NameEntryDialog.h"
#include "gui/support/Alerts.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// Runs the dialog, made with the values and a completion, modally. A confirmed answer is handed
// to apply and announced as the Destination's change. Answers whether the user cancelled.
template <typename Window, typename Apply, typename... Values>
bool runDialog(Destination &destination, Apply apply, const Values &...values)
{
    bool wasCancelled = true;
    Window(values..., [&](bool cancelled, const auto &...answer) {
        wasCancelled = cancelled;
        if (cancelled)
            return;
        apply(answer...);
        destination.noteChange();
    }).runModal();
    return wasCancelled;
}

// The token is read off the GUI thread first, and a changed one stored off it; the dialog opens
// once the keychain has answered. A token the keychain refuses is the user's to know of.
void configureDropbox(DestinationDropbox &dropbox, const Destination::ConfigureCompletion &completion)
{
    DropboxManager::readAccessToken(&dropbox, [&dropbox, completion](const QString &stored, const Error &) {
        const bool cancelled = runDialog<DropboxSettingsDialog>(
            dropbox,
            [&](bool create, bool send, qint32 method, const QString &token) {
                dropbox.setCreateShareLinks(create);
                dropbox.setSendShareLinks(send);
                dropbox.setSendLinkMethod(method);
                if (token != stored)
                    DropboxManager::storeAccessToken(&dropbox, token, [](const Error &error) {
                        if (!error.isNull())
                            Alerts::displayMessage(
                                u"Your Dropbox access token could not be kept in your keyring (%1). Unlock your "
                                "keyring and paste the token into the Dropbox Destination's settings once more."_s.arg(
                                    error.localizedDescription()),
                                u"Dropbox Access Token Not Saved"_s);
                    });
            },
            dropbox.createShareLinks(), dropbox.sendShareLinks(), dropbox.sendLinkMethod(), stored);
        if (completion)
            completion(cancelled);
    });
}

bool configureEmail(DestinationEmail &email)
{
    return runDialog<EmailSettingsDialog>(
        email,
        [&](const QStringList &recipients, const QString &subject, const QString &body) {
            email.setEmailAddresses(recipients);
            email.setSubject(subject);
            email.setBody(body);
            email.setHasBeenConfigured(true);
        },
        email.emailAddresses(), email.subject(), email.body());
}

// The password is read off the GUI thread first (from the keyring), and a changed one kept there;
// the dialog opens once it has been read.
void configureFTP(DestinationFTP &ftp, const Destination::ConfigureCompletion &completion)
{
    ftp.readPassword(&ftp, [&ftp, completion](const QString &stored, const Error &) {
        const bool cancelled = runDialog<FTPSettingsDialog>(
            ftp,
            [&](const QString &address, qint64 port, ServerProtocol protocol, const QString &userName,
                const QString &password, const QString &folderPath, bool confirm) {
                ftp.setServer(address, port, protocol);
                ftp.setUserName(userName);
                ftp.setUploadFolderPath(folderPath);
                ftp.setConfirmReplacementOfExistingFiles(confirm);
                if (password != stored)
                    ftp.storePassword(password, [](const Error &error) {
                        if (!error.isNull())
                            Alerts::displayMessage(
                                u"The FTP Server's password could not be kept in your keyring (%1). Until it can, "
                                "Tessary keeps it in its Destinations file, which only you can read."_s.arg(
                                    error.localizedDescription()),
                                u"Password Not Kept in Your Keyring"_s);
                    });
            },
            ftp.serverAddress(), ftp.serverPort(), ftp.serverProtocol(), ftp.userName(), stored, ftp.uploadFolderPath(),
            ftp.confirmReplacementOfExistingFiles());
        if (completion)
            completion(cancelled);
    });
}

bool configureMessages(DestinationMessages &messages)
{
    return runDialog<MessagesSettingsDialog>(
        messages,
        [&](const QString &text, const QStringList &recipients) {
            messages.setSubject(text);
            messages.setRecipients(recipients);
        },
        messages.subject(), messages.recipients());
}

} // namespace

void DestinationEditor::configure(Destination &destination, const Destination::ConfigureCompletion &completion)
{
    bool cancelled = false;
    switch (destination.type()) {
    case Destination::DestinationTypeDropbox:
        configureDropbox(static_cast<DestinationDropbox &>(destination), completion);
        return;
    case Destination::DestinationTypeEmail:
        cancelled = configureEmail(static_cast<DestinationEmail &>(destination));
        break;
    case Destination::DestinationTypeFTP:
        configureFTP(static_cast<DestinationFTP &>(destination), completion);
        return;
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
    runDialog<NameEntryDialog>(
        destination, [&](const QString &name) { destination.setName(name); }, NameEntryDialog::destinationName(),
        destination.name());
}
