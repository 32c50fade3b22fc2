#include "FTPManager.h"

#include "FTPListingParser.h"
#include "SeparateThread.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <curl/curl.h>

#include <cstdio>
#include <cstring>
#include <memory>

using namespace Qt::Literals::StringLiterals;

const QString FTPManager::FileSizeKey = u"fileSize"_s;
const QString FTPManager::BytesProcessedKey = u"bytesProcessed"_s;
const QString FTPManager::FileSizeProcessedKey = u"fileSizeProcessed"_s;
const QString FTPManager::ProgressKey = u"progress"_s;

namespace {

const QString kErrorDomain = u"FTP"_s;

void console(const QString &message)
{
    qWarning().noquote() << message;
}

void ensureCurlIsReady()
{
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    Q_UNUSED(ready);
}

struct ListDeleter
{
    void operator()(curl_slist *list) const { curl_slist_free_all(list); }
};

QByteArray encodedName(const QString &name)
{
    return QUrl::toPercentEncoding(name);
}

// The URL of the destination's folder, as text, without a trailing "/".
QByteArray folderURL(const FTPServerInfo &server)
{
    QByteArray url = FTPLocation::urlFor(server).toEncoded();
    while (url.endsWith('/'))
        url.chop(1);
    return url;
}

// Refuses names and credentials with a line break in them, which would end a command early.
bool refusesLineBreaks(const QStringList &texts)
{
    for (const QString &text : texts) {
        if (text.contains(u'\r') || text.contains(u'\n') || text.contains(QChar(0))) {
            console(u"FTPManager: refused a name or credential with a line break in it"_s);
            return true;
        }
    }
    return false;
}

// Whether the server record can be used: every field set, no line breaks.
bool checkServer(const FTPServerInfo &server)
{
    bool passes = true;
    if (server.destination.isNull()) {
        console(u"FTPServerInfo check failed: destination cannot be nil"_s);
        passes = false;
    }
    if (server.username.isNull()) {
        console(u"FTPServerInfo check failed: username cannot be nil"_s);
        passes = false;
    }
    if (server.password.isNull()) {
        console(u"FTPServerInfo check failed: password cannot be nil"_s);
        passes = false;
    }
    if (server.port <= 0) {
        console(u"FTPServerInfo check failed: port cannot be negative"_s);
        passes = false;
    }
    return passes && !refusesLineBreaks({server.destination, server.username, server.password});
}

// The command's argument for a name in the destination's folder: the name itself (FTP runs
// commands in the folder), or its quoted path from the login folder (SFTP).
QString commandPath(const FTPServerInfo &server, const QString &name)
{
    if (server.protocol != ServerProtocolSFTP)
        return name;
    // A relative path starts in the login folder. In quotes, libcurl reads a backslash and a double
    // quote escaped by a backslash.
    const QString folder = FTPLocation::folderOf(server.destination);
    QString path = folder.isEmpty() ? name : folder + u'/' + name;
    path.replace(u'\\', u"\\\\"_s).replace(u'"', u"\\\""_s);
    return u'"' + path + u'"';
}

quint64 fileSizeOf(const QUrl &fileURL)
{
    const QFileInfo info(fileURL.toLocalFile());
    return info.exists() ? quint64(info.size()) : 0;
}

} // namespace

// One stream transfer: what it moves and where.
struct FTPManager::Transfer
{
    FTPManager *manager = nullptr;
    Action action = ActionNone;
    QByteArray url;
    const QByteArray *data = nullptr; // upload from memory
    QFile *source = nullptr; // upload from a file
    qsizetype dataPosition = 0;
    QByteArray listing; // listing
    QFile *target = nullptr; // download
    CURL *easy = nullptr;
    bool readFailed = false;
    bool writeFailed = false;
    bool listingTooLong = false;

    // libcurl's callbacks, with the transfer as their context.
    static size_t supplyData(char *destination, size_t size, size_t count, void *context);
    static size_t takeData(char *source, size_t size, size_t count, void *context);
    static int checkAbort(void *context, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
};

FTPManager::FTPManager()
{
    ensureCurlIsReady();
}

FTPManager::~FTPManager()
{
    if (m_connection != nullptr)
        curl_easy_cleanup(m_connection);
}

void FTPManager::setTimeouts(int answerSeconds, int stallSeconds)
{
    m_answerTimeout = answerSeconds;
    m_stallTimeout = stallSeconds;
}

bool FTPManager::uploadData(const QByteArray &data, const QString &fileName, const FTPServerInfo &server)
{
    if (!checkServer(server) || fileName.isEmpty() || refusesLineBreaks({fileName}))
        return false;
    Transfer transfer;
    transfer.action = ActionUpload;
    transfer.url = folderURL(server) + '/' + encodedName(fileName);
    transfer.data = &data;
    m_fileSize = static_cast<quint64>(data.size());
    m_fileSizeProcessed = 0;
    return runTransfer(transfer, server);
}

bool FTPManager::uploadFile(const QUrl &fileURL, const FTPServerInfo &server, const QString &remoteName)
{
    if (!checkServer(server) || !fileURL.isValid())
        return false;
    const QFileInfo info(fileURL.toLocalFile());
    const QString name = remoteName.isEmpty() ? info.fileName() : remoteName;
    if (!info.exists() || info.isDir() || refusesLineBreaks({name}))
        return false;
    QFile source(info.filePath());
    if (!source.open(QIODevice::ReadOnly))
        return false;
    Transfer transfer;
    transfer.action = ActionUpload;
    transfer.url = folderURL(server) + '/' + encodedName(name);
    transfer.source = &source;
    m_fileSize = fileSizeOf(fileURL);
    m_fileSizeProcessed = 0;
    return runTransfer(transfer, server);
}

bool FTPManager::createNewFolder(const QString &folderName, const FTPServerInfo &server)
{
    if (!checkServer(server) || folderName.isEmpty() || refusesLineBreaks({folderName}))
        return false;
    Transfer transfer;
    // SFTP makes no folder on the way to a path: the folder is made by a command, and one that is
    // there already is no failure.
    if (server.protocol == ServerProtocolSFTP)
        return runCommands(server, {u"*mkdir "_s + commandPath(server, folderName)});
    transfer.action = ActionCreateFolder;
    transfer.url = folderURL(server) + '/' + encodedName(folderName) + '/';
    m_fileSize = 0;
    return runTransfer(transfer, server);
}

std::optional<QList<QVariantMap>> FTPManager::contentsOfServer(const FTPServerInfo &server)
{
    if (!checkServer(server))
        return std::nullopt;
    Transfer transfer;
    transfer.action = ActionListing;
    transfer.url = folderURL(server) + '/';
    m_fileSize = 0;
    if (!runTransfer(transfer, server))
        return std::nullopt;
    return FTPListingParser::parse(transfer.listing);
}

bool FTPManager::downloadFile(const QString &fileName, const QUrl &directoryURL, const FTPServerInfo &server)
{
    if (!checkServer(server) || fileName.isEmpty() || refusesLineBreaks({fileName}) || !directoryURL.isValid()
        || !QFileInfo(directoryURL.toLocalFile()).isDir())
        return false;
    QFile target(QDir(directoryURL.toLocalFile()).filePath(fileName));
    if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    Transfer transfer;
    transfer.action = ActionDownload;
    transfer.url = folderURL(server) + '/' + encodedName(fileName);
    transfer.target = &target;
    m_fileSize = 0;
    m_fileSizeProcessed = 0;
    const bool succeeded = runTransfer(transfer, server);
    target.close();
    if (!succeeded)
        target.remove();
    return succeeded;
}

bool FTPManager::deleteFileNamed(const QString &fileName, const FTPServerInfo &server)
{
    if (!checkServer(server) || fileName.isNull() || refusesLineBreaks({fileName}))
        return false;
    const bool file = fileName.contains(u'.');
    const bool sftp = server.protocol == ServerProtocolSFTP;
    const QString command = file ? (sftp ? u"rm"_s : u"DELE"_s) : (sftp ? u"rmdir"_s : u"RMD"_s);
    return runCommands(server, {u"%1 %2"_s.arg(command, commandPath(server, fileName))});
}

bool FTPManager::renameFileNamed(const QString &fileName, const QString &newName, const FTPServerInfo &server)
{
    if (!checkServer(server) || fileName.isEmpty() || newName.isEmpty() || refusesLineBreaks({fileName, newName}))
        return false;
    if (server.protocol == ServerProtocolSFTP)
        return runCommands(
            server, {u"rename %1 %2"_s.arg(commandPath(server, fileName), commandPath(server, newName))});
    return runCommands(server, {u"RNFR "_s + fileName, u"RNTO "_s + newName});
}

bool FTPManager::deleteFile(const QString &fileName, const FTPServerInfo &server)
{
    bool deleted = false;
    SeparateThread::runAndWait([&] { deleted = deleteFileNamed(fileName, server); });
    return deleted;
}

bool FTPManager::chmodFileNamed(const QString &fileName, int mode, const FTPServerInfo &server)
{
    if (!checkServer(server) || static_cast<unsigned>(mode) > 777U || fileName.isNull()
        || refusesLineBreaks({fileName}))
        return false;
    const QString command = server.protocol == ServerProtocolSFTP ? u"chmod"_s : u"SITE CHMOD"_s;
    return runCommands(server, {u"%1 %2 %3"_s.arg(command).arg(mode).arg(commandPath(server, fileName))});
}

bool FTPManager::checkLogin(const FTPServerInfo &server)
{
    return checkServer(server) && runCommands(server, {});
}

void *FTPManager::connectionFor(const QByteArray &url, const FTPServerInfo &server)
{
    // Reset keeps the open connection: the next operation on the same server and login goes on it.
    if (m_connection == nullptr)
        m_connection = curl_easy_init();
    else
        curl_easy_reset(m_connection);
    CURL *easy = m_connection;
    if (easy == nullptr)
        return nullptr;
    static_assert(sizeof m_errorText >= CURL_ERROR_SIZE);
    m_errorText[0] = '\0';
    curl_easy_setopt(easy, CURLOPT_URL, url.constData());
    curl_easy_setopt(easy, CURLOPT_USERNAME, server.username.toUtf8().constData());
    curl_easy_setopt(easy, CURLOPT_PASSWORD, server.password.toUtf8().constData());
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, long(m_answerTimeout));
    curl_easy_setopt(easy, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(m_answerTimeout));
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, m_errorText);
    // The server's answers on the control connection, for its own words when it refuses.
    {
        QMutexLocker locker(&m_errorLock);
        m_lastRefusal.clear();
    }
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &FTPManager::replyCallback);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    m_trust.setUp(easy, server);
    return easy;
}

void FTPManager::noteFailure(int curlCode, FailureReason reason)
{
    const auto result = static_cast<CURLcode>(curlCode);
    if (reason == FailureReasonGeneralError) {
        if (result == CURLE_LOGIN_DENIED)
            reason = FailureReasonLoginRefused;
        else if (result == CURLE_USE_SSL_FAILED)
            reason = FailureReasonNoTLS;
        else if (m_trust.verdict() == ServerTrust::CertificateUntrusted)
            reason = FailureReasonCertificateUntrusted;
        else if (m_trust.verdict() == ServerTrust::HostKeyUnknown)
            reason = FailureReasonHostKeyUnknown;
        else if (m_trust.verdict() == ServerTrust::HostKeyChanged)
            reason = FailureReasonHostKeyChanged;
    }
    m_failureReason = reason;
    // Where the server said no, its own words say why; otherwise libcurl's.
    const bool refused = result == CURLE_QUOTE_ERROR || result == CURLE_UPLOAD_FAILED
        || result == CURLE_REMOTE_ACCESS_DENIED || result == CURLE_REMOTE_FILE_NOT_FOUND
        || result == CURLE_REMOTE_DISK_FULL || result == CURLE_REMOTE_FILE_EXISTS
        || result == CURLE_FTP_COULDNT_RETR_FILE || result == CURLE_LOGIN_DENIED;
    QString detail;
    if (refused) {
        QMutexLocker locker(&m_errorLock);
        detail = m_lastRefusal;
    }
    if (detail.isNull() || reason == FailureReasonReadError || reason == FailureReasonWriteError
        || reason == FailureReasonListingTooLong)
        detail = m_errorText[0] != '\0' ? QString::fromUtf8(m_errorText).trimmed()
                                        : QString::fromUtf8(curl_easy_strerror(result));
    QMutexLocker locker(&m_errorLock);
    m_streamError = Error(kErrorDomain, result, {{Error::DescriptionKey, detail}});
}

bool FTPManager::runCommands(const FTPServerInfo &server, const QStringList &commands)
{
    m_action = ActionRawCommand;
    std::unique_ptr<curl_slist, ListDeleter> quoted;
    for (const QString &command : commands)
        quoted.reset(curl_slist_append(quoted.release(), command.toUtf8().constData()));

    // Nothing is transferred: the client logs in, goes to the folder and sends the commands there.
    const QByteArray url = folderURL(server) + '/';
    bool succeeded = false;
    SeparateThread::runAndWait([&] {
        CURL *easy = connectionFor(url, server);
        if (easy == nullptr)
            return;
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
        if (quoted)
            curl_easy_setopt(easy, CURLOPT_POSTQUOTE, quoted.get());
        const auto result = static_cast<CURLcode>(m_trust.perform(easy, server, url, m_answerTimeout));
        succeeded = result == CURLE_OK;
        if (!succeeded) {
            noteFailure(result, FailureReasonGeneralError);
            console(u"FTP command exchange failed: %1"_s.arg(lastFailure().error.localizedDescription()));
        }
    });
    m_streamSuccess = succeeded;
    m_action = ActionNone;
    return succeeded;
}

bool FTPManager::runTransfer(Transfer &transfer, const FTPServerInfo &server)
{
    transfer.manager = this;
    m_action = transfer.action;
    m_bufferOffset = 0;
    m_bufferLimit = 0;
    m_abortRequested = false;
    m_transferOpen = true;

    CURLcode result = CURLE_FAILED_INIT;
    SeparateThread::runAndWait([&] {
        CURL *handle = connectionFor(transfer.url, server);
        if (handle == nullptr)
            return;
        transfer.easy = handle;
        curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, long(m_stallTimeout));
        curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, &Transfer::checkAbort);
        curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &transfer);
        switch (transfer.action) {
        case ActionUpload:
            curl_easy_setopt(handle, CURLOPT_UPLOAD, 1L);
            curl_easy_setopt(handle, CURLOPT_UPLOAD_BUFFERSIZE, long(UploadBufferSize));
            // The end of an upload's data connection spoils the TLS session for the next one, which
            // a server that wants every data connection to resume the session (vsftpd) then
            // refuses: the next operation starts afresh.
            if (server.protocol == ServerProtocolFTPS)
                curl_easy_setopt(handle, CURLOPT_FORBID_REUSE, 1L);
            curl_easy_setopt(handle, CURLOPT_READFUNCTION, &Transfer::supplyData);
            curl_easy_setopt(handle, CURLOPT_READDATA, &transfer);
            curl_easy_setopt(handle, CURLOPT_INFILESIZE_LARGE, curl_off_t(m_fileSize.load()));
            break;
        case ActionCreateFolder:
            curl_easy_setopt(handle, CURLOPT_NOBODY, 1L);
            curl_easy_setopt(handle, CURLOPT_FTP_CREATE_MISSING_DIRS, long(CURLFTP_CREATE_DIR));
            break;
        case ActionListing:
        case ActionDownload:
            curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &Transfer::takeData);
            curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
            break;
        default:
            break;
        }
        result = static_cast<CURLcode>(m_trust.perform(handle, server, transfer.url, m_answerTimeout));
        transfer.easy = nullptr;
    });

    if (result == CURLE_OK
        || (m_abortRequested
            && (result == CURLE_ABORTED_BY_CALLBACK || transfer.readFailed || result == CURLE_WRITE_ERROR))) {
        endTransfer(true, m_abortRequested ? FailureReasonAborted : FailureReasonNone);
    } else if (transfer.listingTooLong) {
        std::snprintf(m_errorText, sizeof m_errorText, "the folder's listing is longer than %lld MB",
            static_cast<long long>(MaximumListingBytes >> 20));
        noteFailure(result, FailureReasonListingTooLong);
        endTransfer(false, FailureReasonListingTooLong);
    } else if (transfer.readFailed || result == CURLE_READ_ERROR) {
        std::snprintf(m_errorText, sizeof m_errorText, "the file to send could not be read");
        noteFailure(result, FailureReasonReadError);
        endTransfer(false, FailureReasonReadError);
    } else if (transfer.writeFailed || result == CURLE_WRITE_ERROR) {
        std::snprintf(m_errorText, sizeof m_errorText, "the file received could not be written");
        noteFailure(result, FailureReasonWriteError);
        endTransfer(false, FailureReasonWriteError);
    } else {
        noteFailure(result, FailureReasonGeneralError);
        endTransfer(false, m_failureReason);
    }
    return m_streamSuccess;
}

void FTPManager::endTransfer(bool success, FailureReason reason)
{
    m_transferOpen = false;
    m_action = ActionNone;
    m_streamSuccess = success;
    if (success)
        return;
    switch (reason) {
    case FailureReasonReadError:
        console(u"ftp stream failed: error while reading data"_s);
        break;
    case FailureReasonWriteError:
        console(u"ftp stream failed: error while writing data"_s);
        break;
    case FailureReasonGeneralError:
    case FailureReasonLoginRefused:
    case FailureReasonCertificateUntrusted:
    case FailureReasonHostKeyUnknown:
    case FailureReasonHostKeyChanged:
    case FailureReasonNoTLS:
        console(u"ftp stream failed: %1"_s.arg(lastFailure().error.localizedDescription()));
        break;
    case FailureReasonListingTooLong:
        console(u"ftp stream failed: the listing is too long"_s);
        break;
    default:
        break;
    }
}

size_t FTPManager::Transfer::supplyData(char *destination, size_t size, size_t count, void *context)
{
    auto &transfer = *static_cast<Transfer *>(context);
    FTPManager &manager = *transfer.manager;
    // As many chunks of the buffer as libcurl takes at once: a secure connection goes fastest
    // with large writes.
    const size_t wanted = size * count;
    size_t given = 0;
    while (given < wanted) {
        if (manager.m_abortRequested)
            return CURL_READFUNC_ABORT;
        if (manager.m_bufferOffset == manager.m_bufferLimit) {
            qint64 read = 0;
            if (transfer.data != nullptr) {
                read = std::min<qint64>(BufferSize, transfer.data->size() - transfer.dataPosition);
                std::memcpy(manager.m_buffer, transfer.data->constData() + transfer.dataPosition, size_t(read));
                transfer.dataPosition += read;
            } else {
                read = transfer.source->read(manager.m_buffer, BufferSize);
            }
            if (read < 0) {
                transfer.readFailed = true;
                return CURL_READFUNC_ABORT;
            }
            if (read == 0)
                break;
            manager.m_bufferOffset = 0;
            manager.m_bufferLimit = quint64(read);
        }
        const size_t chunk = std::min<size_t>(wanted - given, manager.m_bufferLimit - manager.m_bufferOffset);
        std::memcpy(destination + given, manager.m_buffer + manager.m_bufferOffset, chunk);
        manager.m_bufferOffset += chunk;
        manager.m_fileSizeProcessed += chunk;
        manager.m_bytesProcessed = chunk;
        given += chunk;
        if (manager.m_listener != nullptr)
            manager.m_listener->uploadProgressChanged(manager.progressDictionary());
    }
    return given;
}

size_t FTPManager::Transfer::takeData(char *source, size_t size, size_t count, void *context)
{
    auto &transfer = *static_cast<Transfer *>(context);
    FTPManager &manager = *transfer.manager;
    const size_t length = size * count;
    if (transfer.action == ActionListing) {
        if (transfer.listing.size() + qsizetype(length) > MaximumListingBytes) {
            transfer.listingTooLong = true;
            return 0;
        }
        transfer.listing.append(source, qsizetype(length));
        return length;
    }
    if (manager.m_fileSizeProcessed == 0 && manager.m_fileSize == 0) {
        curl_off_t expected = -1;
        curl_easy_getinfo(transfer.easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &expected);
        manager.m_fileSize = expected > 0 ? quint64(expected) : 0;
        if (manager.m_listener != nullptr)
            manager.m_listener->downloadProgressChanged(manager.progressDictionary());
    }
    // Through the buffer, a chunk of at most its size at a time.
    for (size_t done = 0; done < length;) {
        const size_t chunk = std::min<size_t>(BufferSize, length - done);
        std::memcpy(manager.m_buffer, source + done, chunk);
        manager.m_bufferOffset = 0;
        manager.m_bufferLimit = chunk;
        manager.m_fileSizeProcessed += chunk;
        manager.m_bytesProcessed = chunk;
        if (manager.m_listener != nullptr)
            manager.m_listener->downloadProgressChanged(manager.progressDictionary());
        if (transfer.target->write(manager.m_buffer, qint64(chunk)) != qint64(chunk)) {
            transfer.writeFailed = true;
            return 0;
        }
        manager.m_bufferOffset = chunk;
        done += chunk;
    }
    return length;
}

size_t FTPManager::replyCallback(char *line, size_t size, size_t count, void *context)
{
    const size_t length = size * count;
    // "550 Permission denied." and the like: the last line of a refusal (a multi-line answer's last
    // line starts with its code and a space).
    if (length >= 4 && (line[0] == '4' || line[0] == '5') && line[3] == ' ') {
        auto &manager = *static_cast<FTPManager *>(context);
        QMutexLocker locker(&manager.m_errorLock);
        manager.m_lastRefusal = QString::fromUtf8(line, qsizetype(length)).trimmed();
    }
    return length;
}

int FTPManager::Transfer::checkAbort(void *context, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<Transfer *>(context)->manager->m_abortRequested ? 1 : 0;
}

void FTPManager::abort()
{
    const int action = m_action;
    if (m_transferOpen && action <= ActionDownload)
        m_abortRequested = true;
}

std::optional<QVariantMap> FTPManager::progress() const
{
    const int action = m_action;
    if (!m_transferOpen || (action != ActionUpload && action != ActionDownload) || m_fileSize == 0)
        return std::nullopt;
    return progressDictionary();
}

QVariantMap FTPManager::progressDictionary() const
{
    const quint64 size = m_fileSize;
    const quint64 processed = m_fileSizeProcessed;
    const float fraction = size == 0 ? 0.0F : static_cast<float>(processed) / static_cast<float>(size);
    return {{FileSizeKey, size}, {BytesProcessedKey, quint64(m_bytesProcessed)}, {FileSizeProcessedKey, processed},
        {ProgressKey, fraction}};
}

FTPManager::Failure FTPManager::lastFailure() const
{
    QMutexLocker locker(&m_errorLock);
    return {m_failureReason, m_streamError, m_lastRefusal, m_trust.certificate(), m_trust.hostKey()};
}

void FTPManager::clearFailure()
{
    QMutexLocker locker(&m_errorLock);
    m_streamError = {};
}
