#pragma once

#include "FMServer.h"
#include "core/support/Error.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QUrl>
#include <QVariantMap>

#include <atomic>
#include <optional>

// Told how a transfer advances, on the transfer's own thread.
class FTPManagerDelegate
{
public:
    virtual ~FTPManagerDelegate() = default;
    /// After each chunk sent to the server.
    virtual void ftpManagerUploadProgressDidChange(const QVariantMap &progress) { Q_UNUSED(progress); }
    /// When a download has begun and after each chunk received.
    virtual void ftpManagerDownloadProgressDidChange(const QVariantMap &progress) { Q_UNUSED(progress); }
};

// The FTP client: blocking operations against one server (through libcurl), each run on a
// thread of its own while the caller waits. The operations of one manager share one connection
// while they go to the same server and login. Data goes in chunks through one 32 KB buffer. Every
// operation checks its server first and refuses, without any traffic, names and credentials
// with a line break in them (which would end an FTP command early). A connection or login that
// gets no answer, and a transfer that stalls, end with a failure after a bounded time. Details
// of failures go to standard error; the last error is kept in streamError() and its kind in
// lastFailureReason().
class FTPManager final
{
public:
    enum Action {
        FMActionUpload = 0,
        FMActionCreateFolder = 1,
        FMActionListing = 2,
        FMActionDownload = 3,
        FMActionRawCommand = 4,
        FMActionNone = 5,
    };
    enum FailureReason {
        FMStreamFailureReasonNone = 0,
        FMStreamFailureReasonReadError = 1,
        FMStreamFailureReasonWriteError = 2,
        FMStreamFailureReasonGeneralError = 3,
        FMStreamFailureReasonAborted = 4,
        FMStreamFailureReasonLoginRefused = 5,
        FMStreamFailureReasonListingTooLong = 6,
    };

    static constexpr qsizetype BufferSize = 32768;
    /// A longer listing is refused rather than held in memory.
    static constexpr qsizetype MaximumListingBytes = 8 << 20;
    /// Keys of a progress dictionary.
    static const QString FileSizeKey;
    static const QString BytesProcessedKey;
    static const QString FileSizeProcessedKey;
    static const QString ProgressKey;

    FTPManager();
    ~FTPManager();
    FTPManager(const FTPManager &) = delete;
    FTPManager &operator=(const FTPManager &) = delete;

    void setDelegate(FTPManagerDelegate *delegate) { m_delegate = delegate; }
    /// How long to wait for a connection or an answer, and for a stalled transfer to move again.
    void setTimeouts(int answerSeconds, int stallSeconds);

    bool uploadData(const QByteArray &data, const QString &fileName, const FMServer &server);
    /// Uploads a local file, read in chunks, under its own name or the one given.
    bool uploadFile(const QUrl &fileURL, const FMServer &server, const QString &remoteName = {});
    /// RNFR and RNTO in the destination's folder.
    bool renameFileNamed(const QString &fileName, const QString &newName, const FMServer &server);
    bool createNewFolder(const QString &folderName, const FMServer &server);
    /// DELE for a name with a "." in it, RMD otherwise, in the destination's folder.
    bool deleteFileNamed(const QString &fileName, const FMServer &server);
    /// deleteFileNamed() on a further thread.
    bool deleteFile(const QString &fileName, const FMServer &server);
    /// SITE CHMOD with the mode written in decimal digits (755 means rwxr-xr-x); at most 777.
    bool chmodFileNamed(const QString &fileName, int mode, const FMServer &server);
    /// The entries of the destination's folder (FTPListingParser's maps); nothing on failure.
    std::optional<QList<QVariantMap>> contentsOfServer(const FMServer &server);
    /// Downloads into the local folder under the same name; a failed download leaves no file.
    bool downloadFile(const QString &fileName, const QUrl &directoryURL, const FMServer &server);
    /// Whether the server accepts the login.
    bool checkLogin(const FMServer &server);

    /// The transfer's progress while an upload or download of known size runs; nothing otherwise.
    std::optional<QVariantMap> progress() const;
    /// Ends the transfer under way, from another thread; the transfer then counts as a success.
    /// Does nothing to a command exchange or when nothing runs.
    void abort();

    /// The error of the last failed operation, with the server's own answer ("550 Permission
    /// denied.") or else the network's reason as its description; never cleared by the manager.
    Error streamError() const;
    /// The server's last refusal (a 4xx or 5xx answer, as it wrote it) in the last operation;
    /// null when it refused nothing.
    QString lastRefusal() const;
    void setStreamError(const Error &error);
    FailureReason lastFailureReason() const { return m_failureReason; }
    int action() const { return m_action.load(); }

    static quint64 fileSizeOf(const QUrl &fileURL);

private:
    struct Transfer;
    static size_t readCallback(char *destination, size_t size, size_t count, void *context);
    static size_t writeCallback(char *source, size_t size, size_t count, void *context);
    static int abortCallback(void *context, qint64, qint64, qint64, qint64);
    static size_t replyCallback(char *line, size_t size, size_t count, void *context);

    bool checkServer(const FMServer &server) const;
    bool refusesLineBreaks(const QStringList &texts) const;
    bool runTransfer(Transfer &transfer, const FMServer &server);
    /// Logs in and runs the commands in the destination's folder; none: the login alone.
    bool runCommands(const FMServer &server, const QStringList &commands);
    /// The connection (a libcurl easy handle), its options back to their defaults, set up with
    /// the address, the login and the time-outs every operation uses.
    void *connectionFor(const QByteArray &url, const FMServer &server);
    /// Keeps the reason of a failed libcurl call as the stream error.
    void noteFailure(int curlCode, FailureReason reason);
    void endTransfer(bool success, FailureReason reason);
    QVariantMap progressDictionary() const;

    FTPManagerDelegate *m_delegate = nullptr;
    int m_answerTimeout = 30;
    int m_stallTimeout = 60;

    std::atomic<int> m_action {FMActionNone};
    std::atomic<bool> m_transferOpen {false};
    std::atomic<bool> m_abortRequested {false};
    char m_buffer[BufferSize];
    quint64 m_bufferOffset = 0;
    quint64 m_bufferLimit = 0;
    std::atomic<quint64> m_fileSize {0};
    std::atomic<quint64> m_bytesProcessed {0};
    std::atomic<quint64> m_fileSizeProcessed {0};
    bool m_streamSuccess = false;
    std::atomic<FailureReason> m_failureReason {FMStreamFailureReasonNone};
    void *m_connection = nullptr;
    char m_errorText[256] = {};

    mutable QMutex m_errorLock;
    Error m_streamError;
    QString m_lastRefusal; // under m_errorLock
};
