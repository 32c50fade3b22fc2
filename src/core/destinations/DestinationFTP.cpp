#include "DestinationFTP.h"

#include "core/ftp/FTPOperation.h"
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
} // namespace

DestinationFTP::DestinationFTP(const QString &name)
    : Destination(internalFolderPath(), name)
{
}

DestinationFTP::DestinationFTP(const KeyedCoder &coder)
    : Destination(coder)
    , m_serverAddress(coder.decodeString(kServerAddressKey))
    , m_serverPort(coder.decodeInt64(kServerPortKey))
    , m_userName(coder.decodeString(kUserNameKey))
    , m_password(coder.decodeString(kPasswordKey))
    , m_uploadFolderPath(coder.decodeString(kUploadFolderPathKey))
    , m_confirmReplacementOfExistingFiles(coder.decodeBool(kConfirmExistingUploadsKey))
{
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
    coder.encodeString(kPasswordKey, m_password);
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
    return std::make_shared<FTPOperation>(archivePath, m_uploadFolderPath, m_confirmReplacementOfExistingFiles,
        m_serverAddress, m_serverPort, m_userName, m_password);
}

void DestinationFTP::destinationWasUsedWithArchivePath(const QString &archivePath, const DeliveryCompletion &delivered)
{
    Utilities::displayNotification(
        u"\"%1\" Successfully Uploaded to FTP Server"_s.arg(QFileInfo(archivePath).fileName()), 3.0, 1.0);
    delivered({});
}
