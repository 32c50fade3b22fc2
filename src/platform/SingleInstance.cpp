#include "SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <QtEndian>

#include <cerrno>
#include <cstring>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qsizetype kLengthBytes = 4;
constexpr int kListenGuardMs = 1000;

// The uid of the process at the other end of a local socket; none when it cannot be told.
std::optional<uid_t> peerUser(int fd)
{
    ucred credentials {};
    socklen_t length = sizeof credentials;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0)
        return std::nullopt;
    return credentials.uid;
}

// The folder made (mode 0700) when missing, or a reason why it is not the user's alone: it must
// be a real folder (no link), owned by the user, that nobody else may enter.
QString ensureOwnFolder(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        return u"the folder \"%1\" could not be made (%2)"_s.arg(path, qt_error_string(errno));
    struct stat status
    {
    };
    if (::lstat(name.constData(), &status) != 0)
        return u"the folder \"%1\" could not be read (%2)"_s.arg(path, qt_error_string(errno));
    if (!S_ISDIR(status.st_mode))
        return u"\"%1\" is not a folder"_s.arg(path);
    if (status.st_uid != ::getuid())
        return u"the folder \"%1\" belongs to another user (uid %2)"_s.arg(path).arg(status.st_uid);
    if ((status.st_mode & 077) != 0 && ::chmod(name.constData(), 0700) != 0)
        return u"the folder \"%1\" is open to other users and could not be closed to them"_s.arg(path);
    return {};
}

// The folder, or why there is none.
std::pair<QString, QString> ownFolder()
{
    QString runtime = QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR"));
    if (runtime.isEmpty()) {
        // The temporary folder is everybody's: the folder made there must be this user's alone.
        runtime = QDir::tempPath() + u"/tessary-%1"_s.arg(::getuid());
        if (const QString problem = ensureOwnFolder(runtime); !problem.isNull())
            return {{}, problem};
    }
    const QString path = runtime + u"/tessary"_s;
    if (const QString problem = ensureOwnFolder(path); !problem.isNull())
        return {{}, problem};
    return {path, {}};
}

QString lockPath()
{
    return SingleInstance::folder() + u"/tessary.lock"_s;
}

QString socketPath()
{
    return SingleInstance::folder() + u"/tessary.socket"_s;
}

QByteArray framed(const QByteArray &message)
{
    QByteArray bytes(kLengthBytes, Qt::Uninitialized);
    qToBigEndian(quint32(message.size()), bytes.data());
    return bytes + message;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

bool readAll(int fd, char *into, qsizetype size)
{
    for (qsizetype done = 0; done < size;) {
        const ssize_t read = ::read(fd, into + done, size_t(size - done));
        if (read <= 0)
            return false;
        done += read;
    }
    return true;
}

} // namespace

SingleInstance::SingleInstance() = default;

SingleInstance::~SingleInstance() = default;

QString SingleInstance::folder()
{
    return ownFolder().first;
}

QString SingleInstance::folderProblem()
{
    const QString problem = ownFolder().second;
    if (problem.isNull())
        return {};
    return u"Tessary keeps its running copy's socket in a folder that must be yours alone, and %1. Remove "
           "it, or set XDG_RUNTIME_DIR to a folder of your own."_s.arg(problem);
}

std::optional<QByteArray> SingleInstance::askRunningCopy(const QByteArray &request, QString *refusal)
{
    if (folder().isNull())
        return std::nullopt;
    const QByteArray path = QFile::encodeName(socketPath());
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (size_t(path.size()) >= sizeof address.sun_path)
        return std::nullopt;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return std::nullopt;
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        ::close(fd);
        return std::nullopt;
    }
    // The paths handed over are for this user's own Tessary only.
    if (peerUser(fd) != ::getuid()) {
        ::close(fd);
        if (refusal != nullptr)
            *refusal = u"the socket \"%1\" is served by a process of another user; Tessary did not hand it "
                       "your request"_s.arg(socketPath());
        return std::nullopt;
    }
    QByteArray answer;
    char length[kLengthBytes];
    if (writeAll(fd, framed(request)) && readAll(fd, length, kLengthBytes)) {
        const quint32 size = qFromBigEndian<quint32>(length);
        if (size <= MaximumMessageBytes) {
            answer.resize(size);
            if (!readAll(fd, answer.data(), size))
                answer.clear();
        }
    }
    ::close(fd);
    return answer;
}

bool SingleInstance::isLockHeld()
{
    if (folder().isNull())
        return false;
    QLockFile lock(lockPath());
    lock.setStaleLockTime(0); // stale only when its process is gone
    if (!lock.tryLock(0))
        return true;
    lock.unlock();
    return false;
}

bool SingleInstance::becomeRunningCopy()
{
    if (folder().isNull())
        return false;
    auto lock = std::make_unique<QLockFile>(lockPath());
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    m_lock = std::move(lock);
    return true;
}

void SingleInstance::listen(RequestHandler handler)
{
    m_handler = std::move(handler);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    m_listenGuard = new QTimer(this);
    m_listenGuard->setInterval(kListenGuardMs);
    connect(m_listenGuard, &QTimer::timeout, this, &SingleInstance::keepListening);
    m_listenGuard->start();
    keepListening();
}

void SingleInstance::keepListening()
{
    if (m_server->isListening())
        return;
    QLocalServer::removeServer(socketPath()); // left by a copy that died, or by the server's own stop
    if (!m_server->listen(socketPath()))
        qWarning().noquote() << "tessary: cannot listen on" << socketPath() << ":" << m_server->errorString();
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (peerUser(int(socket->socketDescriptor())) != ::getuid()) {
            qWarning().noquote() << "tessary: refused a connection of another user on its socket";
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        // A connection that says nothing whole in time goes: idle ones would use up the process's
        // file descriptors.
        QTimer::singleShot(RequestTimeoutMs, socket, [socket] {
            if (!socket->property("answered").toBool())
                socket->abort();
        });
    }
}

void SingleInstance::readRequest(QLocalSocket *socket)
{
    if (socket->property("answered").toBool() || socket->bytesAvailable() < kLengthBytes)
        return;
    char length[kLengthBytes];
    socket->peek(length, kLengthBytes);
    const quint32 size = qFromBigEndian<quint32>(length);
    const auto refuse = [socket](const char *why) {
        qWarning().noquote() << "tessary: refused a request on its socket:" << why;
        socket->setProperty("answered", true);
        socket->abort();
    };
    if (size > MaximumMessageBytes) {
        refuse("too long");
        return;
    }
    if (socket->bytesAvailable() < kLengthBytes + qint64(size))
        return;
    socket->skip(kLengthBytes);
    const QByteArray request = socket->read(size);
    socket->setProperty("answered", true);
    const QPointer<QLocalSocket> guarded(socket);
    const Reply reply = [guarded](const QByteArray &answer) {
        if (!guarded)
            return;
        guarded->write(framed(answer));
        guarded->disconnectFromServer();
    };
    if (!m_handler || !m_handler(request, reply, socket))
        refuse("not a request");
}
