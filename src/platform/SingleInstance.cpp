#include "SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QtEndian>

#include <cstring>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qsizetype kLengthBytes = 4;

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
    QString runtime = QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR"));
    if (runtime.isEmpty())
        runtime = QDir::tempPath() + u"/tessary-%1"_s.arg(::getuid());
    const QString path = runtime + u"/tessary"_s;
    QDir().mkpath(path);
    ::chmod(QFile::encodeName(path).constData(), 0700);
    return path;
}

std::optional<QByteArray> SingleInstance::askRunningCopy(const QByteArray &request)
{
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
    QLockFile lock(lockPath());
    lock.setStaleLockTime(0); // stale only when its process is gone
    if (!lock.tryLock(0))
        return true;
    lock.unlock();
    return false;
}

bool SingleInstance::becomeRunningCopy()
{
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
    QLocalServer::removeServer(socketPath()); // left by a copy that died
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        }
    });
    if (!m_server->listen(socketPath()))
        qWarning().noquote() << "tessary: cannot listen on" << socketPath() << ":" << m_server->errorString();
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
