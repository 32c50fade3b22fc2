#pragma once

#include <QByteArray>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QLocalServer;
class QLocalSocket;

// One running Tessary per user. The running copy holds a lock file and listens on a local
// socket, both in $XDG_RUNTIME_DIR/tessary (a folder only the user may enter); another start
// sends it its request there and waits for the answer. A message is a 4-byte big-endian length
// and that many bytes; a longer or malformed one is refused and changes nothing. A lock left by
// a copy that died is taken over.
class SingleInstance final : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 MaximumMessageBytes = 1 << 20;

    using Reply = std::function<void(const QByteArray &answer)>;
    /// Handles a request of another start; replies once, now or later. The asker stands for that
    /// start: it is destroyed once the start has gone (its connection closed), answered or not.
    /// False for a request that is none: it is refused.
    using RequestHandler = std::function<bool(const QByteArray &request, const Reply &reply, const QObject *asker)>;

    SingleInstance();
    ~SingleInstance() override;

    /// The folder of the lock and the socket, made (mode 0700) when missing.
    static QString folder();
    /// Sends the request to the running copy and waits, as long as it takes, for its answer:
    /// nothing when no copy listens; an empty answer when the copy ended without one.
    static std::optional<QByteArray> askRunningCopy(const QByteArray &request);
    /// Whether a live process holds the lock: a copy that is starting, or running.
    static bool isLockHeld();

    /// Takes the lock; false when another copy holds it.
    bool becomeRunningCopy();
    /// Serves the requests of other starts from now on; after becomeRunningCopy().
    void listen(RequestHandler handler);

private:
    void readRequest(QLocalSocket *socket);

    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
    RequestHandler m_handler;
};
