#include "DestinationFTP.h"

#include "core/ftp/FTPAddress.h"
#include "core/ftp/FTPOperation.h"
#include "core/pipeline/ThreadHops.h"
#include "core/settings/Keychain.h"
#include "core/settings/KeychainBackend.h"
#include "core/support/KeyedCoder.h"
#include "core/support/UserInteraction.h"
#include "core/support/Utilities.h"

#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kServerAddressKey = u"Server Address"_s;
const QString kServerPortKey = u"Server Port"_s;
const QString kServerProtocolKey = u"Server Protocol"_s;
const QString kPinnedPublicKeyKey = u"Server Certificate Key"_s;
const QString kUserNameKey = u"Server User Name"_s;
const QString kPasswordKey = u"Server Password"_s;
const QString kUploadFolderPathKey = u"Upload Folder Path"_s;
const QString kConfirmExistingUploadsKey = u"Confirm Existing Uploads"_s;
const QString kKeychainAccountKey = u"Keychain Account"_s;
} // namespace

const QString DestinationFTP::KeychainService = u"Tessary FTP"_s;

DestinationFTP::DestinationFTP(const QString &name)
    : Destination(internalFolderPath(), name)
    , m_keychainAccount(Utilities::generateUUID())
{
    m_serverPort = defaultPortFor(m_serverProtocol);
}

DestinationFTP::DestinationFTP(const KeyedCoder &coder)
    : Destination(coder)
    , m_serverAddress(coder.decodeString(kServerAddressKey))
    , m_serverPort(coder.decodeInt64(kServerPortKey))
    , m_pinnedPublicKey(coder.decodeString(kPinnedPublicKeyKey).toLatin1())
    , m_userName(coder.decodeString(kUserNameKey))
    , m_keychainAccount(coder.decodeString(kKeychainAccountKey))
    , m_passwordInFile(coder.decodeString(kPasswordKey))
    , m_uploadFolderPath(coder.decodeString(kUploadFolderPathKey))
    , m_confirmReplacementOfExistingFiles(coder.decodeBool(kConfirmExistingUploadsKey))
{
    if (m_keychainAccount.isEmpty()) // written by an earlier version
        m_keychainAccount = Utilities::generateUUID();
    if (coder.containsKey(kServerProtocolKey)) {
        const qint64 protocol = coder.decodeInt64(kServerProtocolKey);
        m_serverProtocol = protocol >= ServerProtocolFTP && protocol <= ServerProtocolSFTP ? ServerProtocol(protocol)
                                                                                           : ServerProtocolFTP;
        return;
    }
    // Written by an earlier version, or by hand: the address's scheme says, else plain FTP as
    // before. With a scheme, a port left out or at the other protocol's own follows the protocol.
    const FTPAddress address = FTPAddress::parse(m_serverAddress);
    m_serverProtocol = address.protocol.value_or(ServerProtocolFTP);
    const qint64 otherPort
        = defaultPortFor(m_serverProtocol == ServerProtocolSFTP ? ServerProtocolFTP : ServerProtocolSFTP);
    if (address.protocol && (m_serverPort <= 0 || m_serverPort == otherPort))
        m_serverPort = defaultPortFor(m_serverProtocol);
}

QString DestinationFTP::iconName() const
{
    return u"FTPIcon"_s;
}

void DestinationFTP::encodeWithCoder(KeyedCoder &coder) const
{
    coder.encodeString(kServerAddressKey, m_serverAddress);
    coder.encodeInt64(kServerPortKey, m_serverPort);
    coder.encodeInt64(kServerProtocolKey, m_serverProtocol);
    if (!m_pinnedPublicKey.isEmpty())
        coder.encodeString(kPinnedPublicKeyKey, QString::fromLatin1(m_pinnedPublicKey));
    coder.encodeString(kUserNameKey, m_userName);
    coder.encodeString(kKeychainAccountKey, m_keychainAccount);
    if (!m_passwordInFile.isEmpty())
        coder.encodeString(kPasswordKey, m_passwordInFile);
    coder.encodeString(kUploadFolderPathKey, m_uploadFolderPath);
    coder.encodeBool(kConfirmExistingUploadsKey, m_confirmReplacementOfExistingFiles);
    Destination::encodeWithCoder(coder);
}

void DestinationFTP::destinationWillBeUsedWithURLsToZip(const QList<QUrl> &urls, const WillBeUsedCompletion &completion)
{
    Q_UNUSED(urls);
    if (!requiresAdditionalConfigurationBeforeUse()) {
        completion({});
        return;
    }
    configureWithCompletion([this, completion](bool cancelled) {
        if (cancelled)
            completion(Error::cancellation());
        else if (requiresAdditionalConfigurationBeforeUse())
            completion(Error::refusal(u"Incomplete Configuration"_s,
                u"This Tessary Archive will not be created because there is missing information needed to connect "
                "with the \"%1\" FTP Destination."_s.arg(name())));
        else
            completion({});
    });
}

std::shared_ptr<Operation> DestinationFTP::postZipOperationWithPathToCreatedZipArchive(const QString &archivePath)
{
    // An address written as a URL gives its host, and the port and folder where it has them.
    const FTPAddress address = FTPAddress::parse(m_serverAddress);
    const QString folder = m_uploadFolderPath.isEmpty() ? address.folder : m_uploadFolderPath;
    const qint64 port = address.port > 0 ? address.port : m_serverPort;
    const QString userName = m_userName.isEmpty() ? address.userName : m_userName;
    auto upload = std::make_shared<FTPOperation>(
        archivePath, folder, m_confirmReplacementOfExistingFiles, address.host, port, userName, m_passwordInFile);
    upload->setProtocol(m_serverProtocol);
    upload->setUserInteraction(&user());
    upload->setCertificateTrust(m_pinnedPublicKey, boundTo(this, [this](const QByteArray &pin) {
        m_pinnedPublicKey = pin;
        noteChange();
    }));
    // The upload reads the keyring itself, off the GUI thread.
    if (m_passwordInFile.isEmpty() && !userName.isEmpty())
        upload->setPasswordInKeychain(KeychainService, m_keychainAccount);
    return upload;
}

void DestinationFTP::setServer(const QString &address, qint64 port, ServerProtocol protocol)
{
    if (address != m_serverAddress || port != m_serverPort || protocol != m_serverProtocol)
        m_pinnedPublicKey.clear();
    m_serverAddress = address;
    m_serverPort = port;
    m_serverProtocol = protocol;
}

void DestinationFTP::readPassword(const QObject *receiver, const PasswordCompletion &completion) const
{
    if (!m_passwordInFile.isEmpty()) {
        runOnMainThread(receiver, [completion, password = m_passwordInFile] { completion(password, {}); });
        return;
    }
    Keychain::readPassword(
        receiver, KeychainService, m_keychainAccount, [completion](const QString &password, const Error &error) {
            completion(password, error.code() == KeychainBackend::StatusItemNotFound ? Error() : error);
        });
}

void DestinationFTP::storePassword(const QString &password, const StoreCompletion &completion)
{
    const auto stored = [this, password, completion](const Error &error) {
        // Refused, the password stays in the file rather than being lost.
        const QString inFile = error.isNull() ? QString() : password;
        if (inFile != m_passwordInFile) {
            m_passwordInFile = inFile;
            noteChange();
        }
        if (completion)
            completion(error);
    };
    if (password.isEmpty())
        Keychain::removePassword(this, KeychainService, m_keychainAccount, stored);
    else
        Keychain::storePassword(this, password, KeychainService, m_keychainAccount, stored);
}

void DestinationFTP::movePasswordToKeychain()
{
    // Refused, it stays in the file until a later start finds the keyring.
    if (!m_passwordInFile.isEmpty())
        storePassword(m_passwordInFile, {});
}

void DestinationFTP::forgetPassword()
{
    Keychain::removePassword(this, KeychainService, m_keychainAccount, [](const Error &) {});
}

void DestinationFTP::destinationWasUsedWithArchivePath(const QString &archivePath, const DeliveryCompletion &delivered)
{
    user().notice(u"\"%1\" Successfully Uploaded to FTP Server"_s.arg(QFileInfo(archivePath).fileName()), 3.0, 1.0);
    delivered({});
}
