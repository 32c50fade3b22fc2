#include "DestinationFTP.h"

#include "core/ftp/FTPOperation.h"
#include "core/pipeline/ThreadHops.h"
#include "core/settings/KeychainBackend.h"
#include "core/settings/VLTKeychain.h"
#include "core/support/KeyedCoder.h"
#include "core/support/Utilities.h"

#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kServerAddressKey = u"Server Address"_s;
const QString kServerPortKey = u"Server Port"_s;
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
}

DestinationFTP::DestinationFTP(const KeyedCoder &coder)
    : Destination(coder)
    , m_serverAddress(coder.decodeString(kServerAddressKey))
    , m_serverPort(coder.decodeInt64(kServerPortKey))
    , m_userName(coder.decodeString(kUserNameKey))
    , m_keychainAccount(coder.decodeString(kKeychainAccountKey))
    , m_passwordInFile(coder.decodeString(kPasswordKey))
    , m_uploadFolderPath(coder.decodeString(kUploadFolderPathKey))
    , m_confirmReplacementOfExistingFiles(coder.decodeBool(kConfirmExistingUploadsKey))
{
    if (m_keychainAccount.isEmpty()) // written by an earlier version
        m_keychainAccount = Utilities::generateUUID();
}

QString DestinationFTP::iconName() const
{
    return u"FTPIcon"_s;
}

void DestinationFTP::encodeWithCoder(KeyedCoder &coder) const
{
    coder.encodeString(kServerAddressKey, m_serverAddress);
    coder.encodeInt64(kServerPortKey, m_serverPort);
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
        completion(false);
        return;
    }
    configureWithCompletion([this, completion](bool cancelled) {
        if (cancelled) {
            completion(true);
            return;
        }
        if (requiresAdditionalConfigurationBeforeUse()) {
            Utilities::displayMessage(u"This Tessary Archive will not be created because there is missing information "
                                      "needed to connect with the \"%1\" FTP Destination."_s.arg(name()),
                u"Incomplete Configuration"_s);
            completion(true);
            return;
        }
        completion(false);
    });
}

std::shared_ptr<Operation> DestinationFTP::postZipOperationWithPathToCreatedZipArchive(const QString &archivePath)
{
    auto upload = std::make_shared<FTPOperation>(archivePath, m_uploadFolderPath, m_confirmReplacementOfExistingFiles,
        m_serverAddress, m_serverPort, m_userName, m_passwordInFile);
    // The upload reads the keyring itself, off the GUI thread.
    if (m_passwordInFile.isEmpty() && !m_userName.isEmpty())
        upload->setPasswordInKeychain(KeychainService, m_keychainAccount);
    return upload;
}

void DestinationFTP::readPassword(const QObject *receiver, const PasswordCompletion &completion) const
{
    if (!m_passwordInFile.isEmpty()) {
        executeBlockOnMainThread(receiver, [completion, password = m_passwordInFile] { completion(password, {}); });
        return;
    }
    VLTKeychain::readPassword(
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
        VLTKeychain::removePassword(this, KeychainService, m_keychainAccount, stored);
    else
        VLTKeychain::storePassword(this, password, KeychainService, m_keychainAccount, stored);
}

void DestinationFTP::movePasswordToKeychain()
{
    // Refused, it stays in the file until a later start finds the keyring.
    if (!m_passwordInFile.isEmpty())
        storePassword(m_passwordInFile, {});
}

void DestinationFTP::forgetPassword()
{
    VLTKeychain::removePassword(this, KeychainService, m_keychainAccount, [](const Error &) {});
}

void DestinationFTP::destinationWasUsedWithArchivePath(const QString &archivePath, const DeliveryCompletion &delivered)
{
    Utilities::displayNotification(
        u"\"%1\" Successfully Uploaded to FTP Server"_s.arg(QFileInfo(archivePath).fileName()), 3.0, 1.0);
    delivered({});
}
