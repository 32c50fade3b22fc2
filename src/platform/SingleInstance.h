#pragma once

#include <QByteArray>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QLocalServer;
class QTimer;
class QLocalSocket;

// One running Tessary per user. The running copy holds a lock file and listens on a local
// socket, both in $XDG_RUNTIME_DIR/tessary (or, without it, in a folder of the temporary folder),
// a folder that must be the user's alone; another start sends it its request there and waits for
// the answer. Each end checks that the other is a process of the same user. A message is a 4-byte
// big-endian length and that many bytes; a longer or malformed one is refused and changes
// nothing, and a connection that sends no whole request within a few seconds is closed. A lock
// left by a copy that died is taken over.
class SingleInstance final : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 MaximumMessageBytes = 1 << 20;
    /// How long a connection may take to send its request.
    static constexpr int RequestTimeoutMs = 3000;

    using Reply = std::function<void(const QByteArray &answer)>;
    /// Handles a request of another start; replies once, now or later. The asker stands for that
    /// start: it is destroyed once the start has gone (its connection closed), answered or not.
    /// False for a request that is none: it is refused.
    using RequestHandler = std::function<bool(const QByteArray &request, const Reply &reply, const QObject *asker)>;

    SingleInstance();
    ~SingleInstance() override;

    /// The folder of the lock and the socket, made (mode 0700) when missing; null when no folder
    /// can be had that is the user's alone (folderProblem() says why).
    static QString folder();
    /// Why there is no folder, in a sentence for the user; null when there is one.
    static QString folderProblem();
    /// Sends the request to the running copy and waits, as long as it takes, for its answer:
    /// nothing when no copy listens; an empty answer when the copy ended without one. Nothing,
    /// with the reason in *refusal, when the socket is served by a process of another user.
    static std::optional<QByteArray> askRunningCopy(const QByteArray &request, QString *refusal = nullptr);
    /// Whether a live process holds the lock: a copy that is starting, or running.
    static bool isLockHeld();

    /// Takes the lock; false when another copy holds it.
    bool becomeRunningCopy();
    /// Serves the requests of other starts from now on; after becomeRunningCopy().
    void listen(RequestHandler handler);

private:
    void readRequest(QLocalSocket *socket);
    void acceptConnections();
    /// Listens again where the server stopped (Qt closes it when an accept fails, as when no
    /// file descriptor is left).
    void keepListening();

    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
    RequestHandler m_handler;
    QTimer *m_listenGuard = nullptr;
};
