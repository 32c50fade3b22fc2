#pragma once

#include "FixtureServer.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// A real FTPS server (vsftpd, explicit TLS required for login and for data) on 127.0.0.1 for one
// test, serving a temporary folder to an anonymous login ("anonymous", no password) with all
// rights. Its self-signed certificate is made afresh for each server, and what the tests compare
// with is worked out by the openssl tool.
class FtpsServer final
{
public:
    FtpsServer();

    bool isRunning() const { return m_server && m_server->isRunning(); }
    int port() const { return m_server ? m_server->port() : 0; }
    /// The folder it serves, and a path inside it.
    QString root() const { return m_root.path(); }
    QString filePath(const QString &relative) const { return m_root.filePath(relative); }
    /// The certificate it shows, in PEM.
    QString certificatePath() const { return m_keys.filePath(QStringLiteral("cert.pem")); }
    /// The certificate's SHA-256 fingerprint, upper-case hex pairs joined by ":".
    QString certificateFingerprint() const { return m_fingerprint; }
    /// "sha256//" and the base64 of the SHA-256 of the certificate's public key (DER).
    QByteArray publicKeyPin() const { return m_pin; }

private:
    QTemporaryDir m_root;
    QTemporaryDir m_keys;
    QString m_fingerprint;
    QByteArray m_pin;
    std::unique_ptr<FixtureServer> m_server;
};
