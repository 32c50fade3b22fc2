#pragma once

#include "Destination.h"

// Uploads the archive to an FTP server. The archive is made in a job folder of its own and
// stays there after the upload.
class DestinationFTP final : public Destination
{
    Q_OBJECT

public:
    static constexpr qint64 DefaultPort = 21;

    explicit DestinationFTP(const QString &name);
    explicit DestinationFTP(const KeyedCoder &coder);

    DestinationType type() const override { return DestinationTypeFTP; }
    bool canBeConfigured() const override { return true; }
    bool shouldDisplayArchiveCreatedNotification() const override { return false; }
    QString iconName() const override;
    void encodeWithCoder(KeyedCoder &coder) const override;
    /// Without a server address, asks for the settings first; stops when there is still none.
    void destinationWillBeUsedWithURLsToZip(const QList<QUrl> &urls, const WillBeUsedCompletion &completion) override;
    /// The upload of the archive.
    std::shared_ptr<Operation> postZipOperationWithPathToCreatedZipArchive(const QString &archivePath) override;
    /// Tells the user the archive is on the server.
    void destinationWasUsedWithArchivePath(const QString &archivePath, const DeliveryCompletion &delivered) override;

    /// Whether the server address is still missing.
    bool requiresAdditionalConfigurationBeforeUse() const { return m_serverAddress.isEmpty(); }

    QString serverAddress() const { return m_serverAddress; }
    void setServerAddress(const QString &address) { m_serverAddress = address; }
    qint64 serverPort() const { return m_serverPort; }
    void setServerPort(qint64 port) { m_serverPort = port; }
    QString userName() const { return m_userName; }
    void setUserName(const QString &userName) { m_userName = userName; }
    /// Kept in the Destinations file, which only the user can read.
    QString password() const { return m_password; }
    void setPassword(const QString &password) { m_password = password; }
    /// The folder on the server that receives the archive.
    QString uploadFolderPath() const { return m_uploadFolderPath; }
    void setUploadFolderPath(const QString &path) { m_uploadFolderPath = path; }
    /// Whether to ask before replacing a file of the same name on the server.
    bool confirmReplacementOfExistingFiles() const { return m_confirmReplacementOfExistingFiles; }
    void setConfirmReplacementOfExistingFiles(bool confirm) { m_confirmReplacementOfExistingFiles = confirm; }

private:
    QString m_serverAddress;
    qint64 m_serverPort = DefaultPort;
    QString m_userName;
    QString m_password;
    QString m_uploadFolderPath;
    bool m_confirmReplacementOfExistingFiles = false;
};
