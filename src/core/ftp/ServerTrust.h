#pragma once

#include "FTPServerInfo.h"
#include "SSHHostKey.h"
#include "ServerCertificate.h"

#include <QByteArray>
#include <QString>

// Whom one connection trusts. A TLS certificate must be one the system's store verifies, or the
// one whose key the user pinned; an SSH host key must be in the user's known hosts, or the one
// the user accepted (which then joins them). Where the server is not trusted, the connection
// ends before the login, and what the server showed is kept for the user to judge. Used on the
// connection's thread.
class ServerTrust final
{
public:
    enum Verdict {
        Trusted,
        CertificateUntrusted, ///< neither verified nor pinned (or no longer the pinned one)
        HostKeyUnknown, ///< not among the known hosts
        HostKeyChanged, ///< the known hosts hold another key for the server
    };

    /// Sets the connection's trust and sign-in options for the server, and forgets what the last
    /// connection showed.
    void setUp(void *easy, const FTPServerInfo &server);
    /// Runs the prepared connection (its libcurl result); where the server's certificate was not
    /// trusted, reads it over a second connection that ends before the login.
    int perform(void *easy, const FTPServerInfo &server, const QByteArray &fallbackURL, int answerSeconds);

    Verdict verdict() const { return m_verdict; }
    /// The certificate the server showed when it was not trusted; null otherwise.
    ServerCertificate certificate() const { return m_certificate; }
    /// The host key the SFTP server showed in the last connection.
    SSHHostKey hostKey() const { return m_hostKey; }

private:
    struct HostKeyCheck;

    ServerCertificate m_certificate;
    SSHHostKey m_hostKey;
    Verdict m_verdict = Trusted;
    QByteArray m_acceptedHostKey;
    QString m_hostKeyEntryHost;
    int m_hostKeyEntryPort = 22;
};
