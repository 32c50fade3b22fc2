#pragma once

#include "FTPManager.h"
#include "FTPServerInfo.h"
#include "core/pipeline/Operation.h"

#include <QMutex>

#include <memory>

class UserInteraction;

// The job step that delivers a finished archive to an FTP server (plain, over TLS, or SFTP): it
// checks its settings and the login, makes the target folder, looks for an archive of the same name (asking before
// replacing it when the Destination wants that, and when the folder's listing cannot be read), and uploads the archive
// from its file with progress, under a name of its own until it is whole. An old archive is replaced only by a complete
// new one, and an archive another upload put under the name meanwhile is kept. A cancel stops the transfer under way
// and every step after it.
//
// A server the client cannot trust is shown to the user before anything is sent to it: a TLS
// certificate that is not verified may be trusted (its key is then pinned for the Destination),
// an unknown SSH host key may be accepted (it then joins the known hosts); a changed host key
// ends the upload.
class FTPOperation final : public Operation, private FTPProgressListener
{
public:
    /// Error codes, each with its text.
    static constexpr qint64 ErrorNoSourcePath = 5;
    static constexpr qint64 ErrorNoServerAddress = 6;
    static constexpr qint64 ErrorIncompleteCredentials = 7;
    static constexpr qint64 ErrorInvalidCredentials = 8;
    static constexpr qint64 ErrorUploadFailed = 11;
    static constexpr qint64 ErrorCouldNotConnect = 12;
    static constexpr qint64 ErrorPasswordUnreadable = 13;
    static constexpr qint64 ErrorHostKeyChanged = 14;
    static constexpr qint64 ErrorNoTLS = 15;
    static constexpr qint64 ErrorCertificateUnreadable = 16;
    /// Told on the GUI thread the pin of a certificate the user chose to trust, or an empty one
    /// when the pinned certificate has given way to one the system trusts.
    using CertificateTrusted = std::function<void(const QByteArray &pin)>;

    /// Empty user name and password log in anonymously (FTP), or as the user with the SSH agent
    /// or key (SFTP, which takes an empty password with a user name too). The folder is
    /// relative to the login folder, its levels separated by "/".
    FTPOperation(QString sourcePath, QString destinationPath, bool confirmReplacementOfExistingFiles,
        QString serverAddress, qint64 port, QString userName, QString password);
    ~FTPOperation() override;

    /// How long the client waits for an answer, and for a stalled transfer (tests shorten them).
    void setTimeouts(int answerSeconds, int stallSeconds);
    /// Where no password was given: the keychain item that holds it, read when the step starts
    /// (off the GUI thread).
    void setPasswordInKeychain(const QString &service, const QString &account);
    /// The protocol (plain FTP unless told).
    void setProtocol(ServerProtocol protocol) { m_protocol = protocol; }
    /// FTPS: the certificate key the user trusts, and who keeps the one the user trusts next. A
    /// server that shows another certificate is checked against the system's store first.
    void setCertificateTrust(const QByteArray &pinnedPublicKey, CertificateTrusted trusted);
    /// Who answers the upload's questions (trust, replace); kept, not owned. Until one is set,
    /// every question is cancelled.
    void setUserInteraction(UserInteraction *user) { m_user = user; }

    /// A hidden name of one upload's own beside the file name, ".NAME.1a2b3c4d.part": the name an
    /// archive has on the server while it is being sent (or, of another kind, an old archive's
    /// while it steps aside).
    static QString partNameFor(const QString &fileName, const QString &kind = QStringLiteral("part"));

protected:
    void startOperating() override;
    void cancelOperating() override;

private:
    UserInteraction &user() const;
    FTPServerInfo createServerWithDestination(const QString &destination) const;
    Error checkSettings() const;
    /// Logs in, makes the folder and sends the archive; asks first where the server is not trusted.
    void connectAndUpload();
    /// After a login that failed: a question where the user may trust the server, else the error.
    void handleLoginFailure();
    void askToTrustCertificate(const ServerCertificate &certificate);
    /// The server's certificate is one the system trusts now: the pin is no longer needed.
    void forgetPinnedCertificate();
    void askToAcceptHostKey(const SSHHostKey &key);
    /// The server as the user knows it: "HOST", with ":PORT" where the port is not the protocol's own.
    QString serverName() const;
    Error connectionError(const QString &reason) const;
    /// Uploads under a part name, then gives the archive its name: the name asked for where it
    /// is to replace what is there, otherwise a name free on the server by then.
    void performUploadToDestination(
        const QString &destination, const QString &fileName, const FTPServerInfo &server, bool replace);
    /// Gives the whole upload its name, losing nothing the server holds: an error only where the
    /// archive could not take it, which then says where the whole archive is.
    Error placeArchive(const QString &partName, const QString &fileName, const FTPServerInfo &server);
    /// Removes a file of ours the server no longer needs; where it will not, says so in the log.
    void removeLeftover(const QString &name, const FTPServerInfo &server);
    void askToReplace(const QString &destination, const QString &fileName, const FTPServerInfo &server);
    void uploadProgressChanged(const QVariantMap &progress) override;

    const QString m_sourcePath;
    const QString m_destinationPath;
    const bool m_confirmReplacementOfExistingFiles;
    const QString m_serverAddress;
    const qint64 m_port;
    const QString m_userName;
    QString m_password;
    ServerProtocol m_protocol = ServerProtocolFTP;
    QByteArray m_pinnedPublicKey;
    /// The server no longer showed the pinned certificate.
    bool m_pinOutdated = false;
    CertificateTrusted m_certificateTrusted;
    UserInteraction *m_user = nullptr;
    QByteArray m_acceptedHostKey;
    QString m_keychainService;
    QString m_keychainAccount;
    int m_answerTimeout = 30;
    int m_stallTimeout = 60;

    QMutex m_managerLock;
    std::unique_ptr<FTPManager> m_manager;
};
