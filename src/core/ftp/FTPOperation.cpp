#include "FTPOperation.h"

#include "FTPListingParser.h"
#include "core/pipeline/ThreadHops.h"
#include "core/settings/Keychain.h"
#include "core/settings/KeychainBackend.h"
#include "core/support/Log.h"
#include "core/support/UserInteraction.h"
#include "core/support/Utilities.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>

using namespace Qt::Literals::StringLiterals;

namespace {
// The server address as a URL holds it: an IPv6 address between brackets.
QString hostForURL(const QString &address)
{
    if (address.count(u':') > 1 && !address.startsWith(u'['))
        return u"[%1]"_s.arg(address);
    return address;
}

// The failure of an upload: the server's own refusal to store it where it said no, otherwise the
// reason.
Error uploadError(const FTPManager::Failure &failure)
{
    const QString text = u"Could not upload the Tessary Archive to the FTP Server"_s;
    if (failure.error.isNull())
        return Utilities::errorWithCode(FTPOperation::ErrorUploadFailed, text);
    if (!failure.refusal.isNull() && failure.error.localizedDescription() == failure.refusal)
        return Utilities::errorWithCode(
            FTPOperation::ErrorUploadFailed, u"%1: the server refused to store it (%2)"_s.arg(text, failure.refusal));
    return Utilities::errorWithCode(
        FTPOperation::ErrorUploadFailed, u"%1: %2"_s.arg(text, failure.error.localizedDescription()));
}
} // namespace

FTPOperation::FTPOperation(QString sourcePath, QString destinationPath, bool confirmReplacementOfExistingFiles,
    QString serverAddress, qint64 port, QString userName, QString password)
    : m_sourcePath(std::move(sourcePath))
    , m_destinationPath(std::move(destinationPath))
    , m_confirmReplacementOfExistingFiles(confirmReplacementOfExistingFiles)
    , m_serverAddress(std::move(serverAddress))
    , m_port(port)
    , m_userName(std::move(userName))
    , m_password(std::move(password))
{
}

FTPOperation::~FTPOperation() = default;

void FTPOperation::setTimeouts(int answerSeconds, int stallSeconds)
{
    m_answerTimeout = answerSeconds;
    m_stallTimeout = stallSeconds;
}

void FTPOperation::setPasswordInKeychain(const QString &service, const QString &account)
{
    m_keychainService = service;
    m_keychainAccount = account;
}

void FTPOperation::setCertificateTrust(const QByteArray &pinnedPublicKey, CertificateTrusted trusted)
{
    m_pinnedPublicKey = pinnedPublicKey;
    m_certificateTrusted = std::move(trusted);
}

UserInteraction &FTPOperation::user() const
{
    return m_user != nullptr ? *m_user : UserInteraction::standardError();
}

FTPServerInfo FTPOperation::createServerWithDestination(const QString &destination) const
{
    const bool sftp = m_protocol == ServerProtocolSFTP;
    FTPServerInfo server = m_userName.isEmpty() && !sftp
        ? FTPServerInfo::anonymousServerWithDestination(destination)
        : FTPServerInfo::serverWithDestination(destination, m_userName.isEmpty() ? Utilities::loginName() : m_userName,
            m_password.isNull() ? u""_s : m_password);
    server.port = static_cast<qint32>(m_port);
    server.protocol = m_protocol;
    server.pinnedPublicKey = m_pinnedPublicKey;
    server.acceptedHostKey = m_acceptedHostKey;
    return server;
}

Error FTPOperation::checkSettings() const
{
    // The last failing check decides.
    Error error;
    if (m_sourcePath.isEmpty())
        error = Utilities::errorWithCode(ErrorNoSourcePath, u"No Source Path Provided"_s);
    if (m_serverAddress.isEmpty())
        error = Utilities::errorWithCode(ErrorNoServerAddress, u"No FTP Server Address Provided"_s);
    // SFTP signs in without a password through the SSH agent or key.
    const bool passwordOptional = m_protocol == ServerProtocolSFTP && !m_userName.isEmpty();
    if (m_userName.isEmpty() != m_password.isEmpty() && !passwordOptional)
        error = Utilities::errorWithCode(ErrorIncompleteCredentials, u"Incomplete FTP Server Credentials"_s);
    return error;
}

void FTPOperation::startOperating()
{
    Operation::startOperating();
    {
        QMutexLocker locker(&m_managerLock);
        m_manager = std::make_unique<FTPManager>();
        m_manager->setListener(this);
        m_manager->setTimeouts(m_answerTimeout, m_stallTimeout);
    }
    setOperationDescription(u"Uploading to FTP Server..."_s);

    if (m_password.isEmpty() && !m_keychainAccount.isEmpty()) {
        Error error;
        m_password = Keychain::passwordForService(m_keychainService, m_keychainAccount, &error);
        if (!error.isNull() && error.code() != KeychainBackend::StatusItemNotFound) {
            noteOperationFinishedWithResults({},
                Utilities::errorWithCode(ErrorPasswordUnreadable,
                    u"The password of the FTP Server could not be read from your keyring (%1). Unlock your keyring "
                    "and try once more."_s.arg(error.localizedDescription())));
            return;
        }
    }
    if (const Error error = checkSettings(); !error.isNull()) {
        noteOperationFinishedWithResults({}, error);
        return;
    }

    if (m_port < 1 || m_port > 65535) {
        noteOperationFinishedWithResults({}, connectionError(u"the port must be from 1 to 65535"_s));
        return;
    }
    connectAndUpload();
}

void FTPOperation::connectAndUpload()
{
    const QString host = hostForURL(m_serverAddress);
    const QString base = u"ftp://@%1"_s.arg(host);
    if (isCancelled())
        return;
    if (!m_manager->checkLogin(createServerWithDestination(base))) {
        handleLoginFailure();
        return;
    }
    if (m_pinOutdated && m_pinnedPublicKey.isEmpty())
        forgetPinnedCertificate();

    QString level = base;
    const QStringList parts = m_destinationPath.split(u'/');
    for (const QString &part : parts) {
        if (isCancelled())
            return;
        const FTPServerInfo server = createServerWithDestination(level);
        level = u"%1/%2"_s.arg(level, part);
        m_manager->createNewFolder(part, server);
    }

    m_manager->clearFailure();
    const QString destination = u"ftp://@%1/%2"_s.arg(host, m_destinationPath);
    const FTPServerInfo server = createServerWithDestination(destination);
    const QString fileName = QFileInfo(m_sourcePath).fileName();
    const auto entries = m_manager->contentsOfServer(server);
    if (!entries && m_manager->lastFailure().reason == FTPManager::FailureReasonListingTooLong) {
        noteOperationFinishedWithResults({},
            Utilities::errorWithCode(ErrorUploadFailed,
                u"Could not read the folder on the FTP Server: %1"_s.arg(
                    m_manager->lastFailure().error.localizedDescription())));
        return;
    }
    // A listing that could not be read may hide an archive of that name: ask rather than replace.
    const bool mayExist = !entries.has_value()
        || std::any_of(entries->cbegin(), entries->cend(),
            [&](const QVariantMap &entry) { return entry.value(FTPListingParser::NameKey).toString() == fileName; });
    if (isCancelled())
        return;

    if (mayExist && m_confirmReplacementOfExistingFiles)
        askToReplace(destination, fileName, server);
    else
        performUploadToDestination(destination, fileName, server, mayExist);
}

void FTPOperation::handleLoginFailure()
{
    const FTPManager::Failure failure = m_manager->lastFailure();
    const QString reason = failure.error.localizedDescription();
    switch (failure.reason) {
    case FTPManager::FailureReasonLoginRefused:
        noteOperationFinishedWithResults(
            {}, Utilities::errorWithCode(ErrorInvalidCredentials, u"Invalid FTP Server Credentials"_s));
        return;
    case FTPManager::FailureReasonCertificateUntrusted:
        // A server that no longer shows the pinned certificate may have one the system trusts now.
        if (!m_pinnedPublicKey.isEmpty() && !m_pinOutdated) {
            m_pinOutdated = true;
            m_pinnedPublicKey.clear();
            connectAndUpload();
            return;
        }
        if (!failure.certificate.publicKeyPin().isEmpty()) {
            askToTrustCertificate(failure.certificate);
            return;
        }
        noteOperationFinishedWithResults({},
            Utilities::errorWithCode(ErrorCertificateUnreadable,
                u"Could not connect to the FTP Server %1: its certificate could not be verified (%2), and Tessary "
                "could not read it to show it to you."_s.arg(serverName(), reason)));
        return;
    case FTPManager::FailureReasonHostKeyUnknown:
        askToAcceptHostKey(failure.hostKey);
        return;
    case FTPManager::FailureReasonHostKeyChanged: {
        const SSHHostKey &key = failure.hostKey;
        noteOperationFinishedWithResults({},
            Utilities::errorWithCode(ErrorHostKeyChanged,
                u"The host key of the SFTP Server %1 has changed: it does not match the key in your known hosts "
                "(~/.ssh/known_hosts). Someone may be posing as the server, or its key was replaced. The %2 key it "
                "shows now has the fingerprint %3. Tessary did not connect. If the server's administrator confirms "
                "the new key, remove the old one with: ssh-keygen -R \"%4\""_s.arg(serverName(), key.type(),
                    key.fingerprint(), SSHHostKey::hostEntry(hostForURL(m_serverAddress), int(m_port)))));
        return;
    }
    case FTPManager::FailureReasonNoTLS:
        noteOperationFinishedWithResults({},
            Utilities::errorWithCode(ErrorNoTLS,
                u"The FTP Server %1 does not offer encryption (TLS), so Tessary sent it neither your password nor "
                "the archive. To upload to it unencrypted anyway, choose \"FTP\" as the protocol in the settings "
                "of this Destination."_s.arg(serverName())));
        return;
    default:
        noteOperationFinishedWithResults({}, connectionError(reason));
        return;
    }
}

void FTPOperation::askToTrustCertificate(const ServerCertificate &certificate)
{
    const bool changed = m_pinOutdated;
    const QString title = changed ? u"Certificate Changed"_s : u"Unverified Certificate"_s;
    const QString situation = changed
        ? u"The FTP Server %1 no longer shows the certificate you chose to trust for this Destination. It may have "
          "a new certificate, or someone may be posing as the server."_s.arg(serverName())
        : u"The certificate of the FTP Server %1 could not be verified, so Tessary cannot be sure that it is "
          "talking to that server."_s.arg(serverName());
    const QString message
        = u"%1\n\nSHA-256 fingerprint of the certificate it shows:\n%2\n\nTrust it only if this "
          "is the fingerprint your server's administrator gave you. Tessary will then accept this "
          "certificate, and no other, for this Destination."_s.arg(situation, certificate.fingerprint());
    const auto self = std::static_pointer_cast<FTPOperation>(shared_from_this());
    runOnMainThread([self, title, message, pin = certificate.publicKeyPin()] {
        if (!self->user().confirm(title, message, u"Trust This Certificate"_s)) {
            self->cancel();
            return;
        }
        self->m_pinnedPublicKey = pin;
        self->m_pinOutdated = false;
        if (self->m_certificateTrusted)
            self->m_certificateTrusted(pin);
        runInBackground([self] { self->connectAndUpload(); });
    });
}

void FTPOperation::forgetPinnedCertificate()
{
    m_pinOutdated = false;
    const auto self = std::static_pointer_cast<FTPOperation>(shared_from_this());
    runOnMainThread([self] {
        if (self->m_certificateTrusted)
            self->m_certificateTrusted({});
    });
}

void FTPOperation::askToAcceptHostKey(const SSHHostKey &key)
{
    const QString message
        = u"Tessary has not connected to the SFTP Server %1 before, and cannot be sure that it is talking to that "
          "server.\n\nIts %2 host key has the fingerprint:\n%3\n\nConnect only if this is the fingerprint of your "
          "server. Tessary will then add the key to your known hosts (~/.ssh/known_hosts)."_s.arg(
              serverName(), key.type(), key.fingerprint());
    const auto self = std::static_pointer_cast<FTPOperation>(shared_from_this());
    runOnMainThread([self, message, blob = key.blob()] {
        if (!self->user().confirm(u"Unknown Host Key"_s, message, u"Connect"_s)) {
            self->cancel();
            return;
        }
        self->m_acceptedHostKey = blob;
        runInBackground([self] { self->connectAndUpload(); });
    });
}

QString FTPOperation::serverName() const
{
    return m_port == defaultPortFor(m_protocol) ? hostForURL(m_serverAddress)
                                                : u"%1:%2"_s.arg(hostForURL(m_serverAddress)).arg(m_port);
}

Error FTPOperation::connectionError(const QString &reason) const
{
    return Utilities::errorWithCode(ErrorCouldNotConnect,
        u"Could not connect to the FTP Server %1:%2 (%3)"_s.arg(hostForURL(m_serverAddress)).arg(m_port).arg(reason));
}

void FTPOperation::askToReplace(const QString &destination, const QString &fileName, const FTPServerInfo &server)
{
    const auto self = std::static_pointer_cast<FTPOperation>(shared_from_this());
    runOnMainThread([self, destination, fileName, server] {
        const bool replace = self->user().confirm(u"Replace Existing?"_s,
            u"A Zip Archive named \"%1\" already exists on the FTP Server at this location. Do you wish to replace it?"_s
                .arg(fileName),
            u"Replace"_s);
        if (!replace) {
            self->cancel();
            return;
        }
        // The removal and the upload go back to a worker: the progress window keeps moving.
        runInBackground([self, destination, fileName, server] {
            self->performUploadToDestination(destination, fileName, server, true);
        });
    });
}

void FTPOperation::performUploadToDestination(
    const QString &destination, const QString &fileName, const FTPServerInfo &server, bool replace)
{
    if (isCancelled())
        return;

    // The archive arrives under a name of its own, which no other upload uses, and takes its
    // final name only once it is whole: a cancelled or broken upload never leaves a truncated
    // archive under that name, and two uploads of one name never meet in one file.
    const QString partName = partNameFor(fileName);
    Log::handler()(u"FTP Uploading \"%1\" to \"%2\""_s.arg(fileName, destination));
    const bool uploaded = m_manager->uploadFile(QUrl::fromLocalFile(m_sourcePath), server, partName);
    if (isCancelled() || !uploaded) {
        const Error error = uploadError(m_manager->lastFailure());
        m_manager->deleteFileNamed(partName, server);
        noteOperationFinishedWithResults({}, error);
        return;
    }

    // An archive that another upload has put under the name meanwhile is kept: this one takes a
    // free name beside it. Only an archive that was there before, to be replaced, gives way.
    QString finalName = fileName;
    if (!replace) {
        const auto entries = m_manager->contentsOfServer(server).value_or(QList<QVariantMap>());
        QSet<QString> names;
        for (const QVariantMap &entry : entries)
            names.insert(entry.value(FTPListingParser::NameKey).toString());
        finalName
            = Utilities::availableFileName(fileName, [&names](const QString &name) { return names.contains(name); });
    }
    noteOperationFinishedWithResults({}, placeArchive(partName, finalName, server));
}

Error FTPOperation::placeArchive(const QString &partName, const QString &fileName, const FTPServerInfo &server)
{
    // A rename, which most servers make over an archive of that name.
    if (m_manager->renameFileNamed(partName, fileName, server))
        return {};
    // A server that will not rename onto a file: the old archive steps aside, and goes only once
    // the new one has taken its place.
    const QString aside = partNameFor(fileName, u"old"_s);
    if (m_manager->renameFileNamed(fileName, aside, server)) {
        if (m_manager->renameFileNamed(partName, fileName, server)) {
            removeLeftover(aside, server);
            return {};
        }
        m_manager->renameFileNamed(aside, fileName, server);
    }
    // A server that renames nothing: the archive goes once more, under its name. The whole copy
    // stays on the server until this one has arrived.
    Log::handler()(u"FTP Server renames nothing: uploading \"%1\" under its name"_s.arg(fileName));
    // Cancelled, the request leaves nothing of its own behind.
    if (isCancelled()) {
        m_manager->deleteFileNamed(partName, server);
        return {};
    }
    const bool uploaded = m_manager->uploadFile(QUrl::fromLocalFile(m_sourcePath), server, fileName);
    if (isCancelled()) {
        m_manager->deleteFileNamed(fileName, server); // what arrived of it
        m_manager->deleteFileNamed(partName, server);
        return {};
    }
    if (uploaded) {
        removeLeftover(partName, server);
        return {};
    }
    const QString reason = m_manager->lastFailure().error.localizedDescription();
    return Utilities::errorWithCode(ErrorUploadFailed,
        u"Could not upload the Tessary Archive to the FTP Server: the server would not rename the archive sent as "
        "\"%1\" to \"%2\", nor store it under that name (%3). The whole archive stays on the server as \"%1\"."_s.arg(
            partName, fileName, reason));
}

void FTPOperation::removeLeftover(const QString &name, const FTPServerInfo &server)
{
    if (!m_manager->deleteFileNamed(name, server))
        Log::handler()(u"FTP Server would not remove \"%1\" (%2); it stays in \"%3\""_s.arg(
            name, m_manager->lastFailure().error.localizedDescription(), m_destinationPath));
}

QString FTPOperation::partNameFor(const QString &fileName, const QString &kind)
{
    // A name of its own for each upload: ".NAME.1a2b3c4d.part".
    const QString unique = QString::number(QRandomGenerator::global()->generate(), 16).rightJustified(8, u'0');
    return u".%1.%2.%3"_s.arg(fileName, unique, kind);
}

void FTPOperation::cancelOperating()
{
    Operation::cancelOperating();
    QMutexLocker locker(&m_managerLock);
    if (m_manager)
        m_manager->abort();
}

void FTPOperation::uploadProgressChanged(const QVariantMap &progress)
{
    const float value = progress.value(FTPManager::ProgressKey).toFloat();
    setProgress(value);
    if (const Log::Handler log = Log::handler())
        log(u"FTP Upload Progress: %1"_s.arg(static_cast<double>(value), 0, 'f', 6));
}
