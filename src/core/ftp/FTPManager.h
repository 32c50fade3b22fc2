#pragma once

#include "FTPServerInfo.h"
#include "ServerTrust.h"
#include "core/support/Error.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QUrl>
#include <QVariantMap>

#include <atomic>
#include <optional>

// Told how a transfer advances, on the transfer's own thread.
class FTPProgressListener
{
public:
    virtual ~FTPProgressListener() = default;
    /// After each chunk sent to the server.
    virtual void uploadProgressChanged(const QVariantMap &progress) { Q_UNUSED(progress); }
    /// When a download has begun and after each chunk received.
    virtual void downloadProgressChanged(const QVariantMap &progress) { Q_UNUSED(progress); }
};

// The FTP client: blocking operations against one server (through libcurl), each run on a
// thread of its own while the caller waits. It speaks plain FTP, FTP over TLS and SFTP, as the
// server record says. The operations of one manager share one connection while they go to the
// same server and login.

// Whom a connection trusts is ServerTrust's to decide: a server it does not trust ends the
// operation before the login, and what the server showed is kept for the user to judge
// (lastFailure()). Without a password, SFTP signs in with the user's SSH
// agent or key (~/.ssh/id_ed25519, then ~/.ssh/id_rsa).
// Data goes in chunks through one 32 KB buffer. Every operation checks its server first and refuses, without any
// traffic, names and credentials with a line break in them (which would end an FTP command early). A connection or
// login that gets no answer, and a transfer that stalls, end with a failure after a bounded time. Details of failures
// go to standard error; the last failure is kept, with its kind, in lastFailure().
class FTPManager final
{
public:
    enum Action {
        ActionUpload = 0,
        ActionCreateFolder = 1,
        ActionListing = 2,
        ActionDownload = 3,
        ActionRawCommand = 4,
        ActionNone = 5,
    };
    enum FailureReason {
        FailureReasonNone = 0,
        FailureReasonReadError = 1,
        FailureReasonWriteError = 2,
        FailureReasonGeneralError = 3,
        FailureReasonAborted = 4,
        FailureReasonLoginRefused = 5,
        FailureReasonListingTooLong = 6,
        /// The TLS certificate is neither verified nor pinned (or no longer the pinned one).
        FailureReasonCertificateUntrusted = 7,
        /// The SSH host key is not among the known hosts.
        FailureReasonHostKeyUnknown = 8,
        /// The known hosts hold another key for the server.
        FailureReasonHostKeyChanged = 9,
        /// The server would not turn on TLS.
        FailureReasonNoTLS = 10,
    };

    static constexpr qsizetype BufferSize = 32768;
    /// How much libcurl takes from the buffer for one write to the connection.
    static constexpr qsizetype UploadBufferSize = 512 * 1024;
    /// A longer listing is refused rather than held in memory.
    static constexpr qsizetype MaximumListingBytes = 8 << 20;
    /// Keys of a progress dictionary.
    static const QString FileSizeKey;
    static const QString BytesProcessedKey;
    static const QString FileSizeProcessedKey;
    static const QString ProgressKey;

    FTPManager();
    ~FTPManager();
    Q_DISABLE_COPY(FTPManager)

    void setListener(FTPProgressListener *listener) { m_listener = listener; }
    /// How long to wait for a connection or an answer, and for a stalled transfer to move again.
    void setTimeouts(int answerSeconds, int stallSeconds);

    bool uploadData(const QByteArray &data, const QString &fileName, const FTPServerInfo &server);
    /// Uploads a local file, read in chunks, under its own name or the one given.
    bool uploadFile(const QUrl &fileURL, const FTPServerInfo &server, const QString &remoteName = {});
    /// In the destination's folder: RNFR and RNTO (FTP), rename (SFTP).
    bool renameFileNamed(const QString &fileName, const QString &newName, const FTPServerInfo &server);
    bool createNewFolder(const QString &folderName, const FTPServerInfo &server);
    /// DELE (FTP) or rm (SFTP) for a name with a "." in it, RMD or rmdir otherwise, in the
    /// destination's folder.
    bool deleteFileNamed(const QString &fileName, const FTPServerInfo &server);
    /// deleteFileNamed() on a further thread.
    bool deleteFile(const QString &fileName, const FTPServerInfo &server);
    /// SITE CHMOD (FTP) or chmod (SFTP) with the mode written in decimal digits (755 means
    /// rwxr-xr-x); at most 777.
    bool chmodFileNamed(const QString &fileName, int mode, const FTPServerInfo &server);
    /// The entries of the destination's folder (FTPListingParser's maps); nothing on failure.
    std::optional<QList<QVariantMap>> contentsOfServer(const FTPServerInfo &server);
    /// Downloads into the local folder under the same name; a failed download leaves no file.
    bool downloadFile(const QString &fileName, const QUrl &directoryURL, const FTPServerInfo &server);
    /// Whether the server accepts the login.
    bool checkLogin(const FTPServerInfo &server);

    /// The transfer's progress while an upload or download of known size runs; nothing otherwise.
    std::optional<QVariantMap> progress() const;
    /// Ends the transfer under way, from another thread; the transfer then counts as a success.
    /// Does nothing to a command exchange or when nothing runs.
    void abort();

    /// Why an operation failed, and what the server showed of itself.
    struct Failure
    {
        FailureReason reason = FailureReasonNone;
        /// The error of the last failed operation, with the server's own answer ("550 Permission
        /// denied.") or else the network's reason as its description; kept until clearFailure().
        Error error;
        /// The server's last refusal (a 4xx or 5xx answer, as it wrote it) in the last operation;
        /// null when it refused nothing.
        QString refusal;
        /// The certificate the server showed when it was not trusted; null otherwise.
        ServerCertificate certificate;
        /// The host key the SFTP server showed in the last operation.
        SSHHostKey hostKey;
    };
    Failure lastFailure() const;
    /// Forgets the last failure's error, so that a later one without an error of its own shows none.
    void clearFailure();

private:
    struct Transfer;
    static size_t replyCallback(char *line, size_t size, size_t count, void *context);

    bool runTransfer(Transfer &transfer, const FTPServerInfo &server);
    /// Logs in and runs the commands in the destination's folder; none: the login alone.
    bool runCommands(const FTPServerInfo &server, const QStringList &commands);
    /// The connection (a libcurl easy handle), its options back to their defaults, set up with
    /// the address, the login and the time-outs every operation uses.
    void *connectionFor(const QByteArray &url, const FTPServerInfo &server);
    /// Keeps the reason of a failed libcurl call as the stream error.
    void noteFailure(int curlCode, FailureReason reason);
    void endTransfer(bool success, FailureReason reason);
    QVariantMap progressDictionary() const;

    FTPProgressListener *m_listener = nullptr;
    int m_answerTimeout = 30;
    int m_stallTimeout = 60;

    std::atomic<int> m_action {ActionNone};
    std::atomic<bool> m_transferOpen {false};
    std::atomic<bool> m_abortRequested {false};
    char m_buffer[BufferSize];
    quint64 m_bufferOffset = 0;
    quint64 m_bufferLimit = 0;
    std::atomic<quint64> m_fileSize {0};
    std::atomic<quint64> m_bytesProcessed {0};
    std::atomic<quint64> m_fileSizeProcessed {0};
    bool m_streamSuccess = false;
    std::atomic<FailureReason> m_failureReason {FailureReasonNone};
    void *m_connection = nullptr;
    char m_errorText[256] = {};

    ServerTrust m_trust; // on the operation's thread

    mutable QMutex m_errorLock;
    Error m_streamError;
    QString m_lastRefusal; // under m_errorLock
};
