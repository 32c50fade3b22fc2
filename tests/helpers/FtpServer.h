#pragma once

#include "FixtureServer.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

// A real FTP server (pyftpdlib) on 127.0.0.1 for one test, serving a temporary folder. Users:
// "anna"/"secret" (all rights), "reader"/"secret" (may not delete), "keeper"/"secret" (may
// neither delete nor rename), "viewer"/"secret" (may only look), anonymous (all rights). A
// silent server accepts connections and never answers; a slow one takes uploads at 2 MB/s; an
// endless one lists folders without end.
class FtpServer final
{
public:
    enum Kind { Normal, Silent, Slow, EndlessListing };

    explicit FtpServer(Kind kind = Normal);

    bool isRunning() const { return m_server->isRunning(); }
    int port() const { return m_server->port(); }
    /// The folder it serves, and a path inside it.
    QString root() const { return m_root.path(); }
    QString filePath(const QString &relative) const { return m_root.filePath(relative); }

private:
    QTemporaryDir m_root;
    std::unique_ptr<FixtureServer> m_server;
};
