#pragma once

#include "Destination.h"
#include "core/ftp/FTPServerInfo.h"
#include "core/support/Error.h"

// Uploads the archive to an FTP server, over plain FTP, FTP with TLS or SFTP. The archive is made
// in a job folder of its own and stays there after the upload. A new Destination speaks FTP with
// TLS; one from a Destinations file without a protocol speaks what its address says ("sftp://…",
// "ftps://…"), else plain FTP. The certificate key the user chose to trust is kept with it. The server password lives
// in the keyring (service "Tessary FTP", the Destination's own account); a Destinations file of an earlier version kept
// it in the file, and it stays there until the keyring has taken it.
class DestinationFTP final : public Destination
{
    Q_OBJECT

public:
    static constexpr qint64 DefaultPort = 21;
    static constexpr ServerProtocol DefaultProtocol = ServerProtocolFTPS;
    static const QString KeychainService;
    using PasswordCompletion = std::function<void(const QString &password, const Error &error)>;
    using StoreCompletion = std::function<void(const Error &error)>;

    explicit DestinationFTP(const QString &name);
    explicit DestinationFTP(const KeyedCoder &coder);

    DestinationType type() const override { return DestinationTypeFTP; }
    Traits traits() const override { return {Deletable, Renamable, Interactive, Configurable}; }
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
    qint64 serverPort() const { return m_serverPort; }
    ServerProtocol serverProtocol() const { return m_serverProtocol; }
    /// Another server forgets the certificate trusted for the one before.
    void setServer(const QString &address, qint64 port, ServerProtocol protocol);
    /// The key of the server certificate the user chose to trust ("sha256//BASE64"); empty for none.
    QByteArray pinnedPublicKey() const { return m_pinnedPublicKey; }
    QString userName() const { return m_userName; }
    void setUserName(const QString &userName) { m_userName = userName; }
    /// The account of the password's keychain item: the Destination's own, made once.
    QString keychainAccount() const { return m_keychainAccount; }
    /// A password still kept in the Destinations file; empty once the keyring has it.
    QString passwordInFile() const { return m_passwordInFile; }
    /// Reads the password (from the file where it is still there, else from the keyring) off the
    /// GUI thread, and answers on it unless the receiver has gone. No password is no error.
    void readPassword(const QObject *receiver, const PasswordCompletion &completion) const;
    /// Keeps the password in the keyring, off the GUI thread (an empty one removes it). Where the
    /// keyring refuses, the password is kept in the Destinations file instead, so that it is never
    /// lost, and completion hears the keyring's error. The change is announced (the owner saves).
    void storePassword(const QString &password, const StoreCompletion &completion);
    /// Moves a password still in the Destinations file into the keyring; the file loses it only
    /// once the keyring has accepted it.
    void movePasswordToKeychain();
    /// Removes the keychain item (when the Destination is deleted).
    void forgetPassword();
    /// The folder on the server that receives the archive.
    QString uploadFolderPath() const { return m_uploadFolderPath; }
    void setUploadFolderPath(const QString &path) { m_uploadFolderPath = path; }
    /// Whether to ask before replacing a file of the same name on the server.
    bool confirmReplacementOfExistingFiles() const { return m_confirmReplacementOfExistingFiles; }
    void setConfirmReplacementOfExistingFiles(bool confirm) { m_confirmReplacementOfExistingFiles = confirm; }

private:
    QString m_serverAddress;
    qint64 m_serverPort = DefaultPort;
    ServerProtocol m_serverProtocol = DefaultProtocol;
    QByteArray m_pinnedPublicKey;
    QString m_userName;
    QString m_keychainAccount;
    QString m_passwordInFile;
    QString m_uploadFolderPath;
    bool m_confirmReplacementOfExistingFiles = false;
};
