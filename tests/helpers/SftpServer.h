#pragma once

#include "FixtureServer.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

// A real SFTP server (OpenSSH's sshd) on 127.0.0.1 for one test, serving a temporary folder,
// where a login starts (so "~/" means that folder). Only the user running the tests may log in,
// with the key HOME/.ssh/id_ed25519 of the given home folder (made there if missing); a wrong
// password is refused. Its ed25519 host key is made afresh for each server.
class SftpServer final
{
public:
    explicit SftpServer(const QString &home);

    bool isRunning() const { return m_server && m_server->isRunning(); }
    int port() const { return m_server ? m_server->port() : 0; }
    /// The folder it serves, and a path inside it.
    QString root() const { return m_root.path(); }
    QString filePath(const QString &relative) const { return m_root.filePath(relative); }
    /// The host key's fingerprint as ssh-keygen -l shows it: "SHA256:...".
    QString hostKeyFingerprint() const { return m_fingerprint; }
    /// The host key as a known_hosts file holds it for this server: "[127.0.0.1]:PORT ssh-ed25519 AAAA...".
    QString knownHostsLine() const;
    /// The host key alone: "ssh-ed25519 AAAA...".
    QString hostKeyLine() const { return m_hostKeyLine; }
    /// The login name of the user running the tests.
    static QString userName();

private:
    QTemporaryDir m_root;
    QTemporaryDir m_keys;
    QString m_fingerprint;
    QString m_hostKeyLine;
    std::unique_ptr<FixtureServer> m_server;
};
