#pragma once

#include <QByteArray>
#include <QString>

// A server's SSH host key as it showed it, and the user's list of known hosts
// (~/.ssh/known_hosts) that it is checked against, in OpenSSH's format.
class SSHHostKey final
{
public:
    SSHHostKey() = default;
    /// The key's blob, as the server sent it.
    explicit SSHHostKey(QByteArray blob)
        : m_blob(std::move(blob))
    {
    }

    bool isNull() const { return m_blob.isEmpty(); }
    QByteArray blob() const { return m_blob; }
    /// The key's type as the blob names it ("ssh-ed25519", "ecdsa-sha2-nistp256", "ssh-rsa").
    QString type() const;
    /// "SHA256:" and the unpadded base64 SHA-256 of the blob, as ssh shows a fingerprint.
    QString fingerprint() const;
    /// The line of the known hosts for the host and port: "[HOST]:PORT TYPE BASE64" (the host
    /// alone for port 22).
    QString knownHostsLine(const QString &host, int port) const;
    /// Adds the key's line at the end of the known hosts (the file and its folder are made where
    /// missing); whatever else the file holds is kept as it is. Answers the reason of a failure,
    /// or a null string.
    QString addToKnownHosts(const QString &path, const QString &host, int port) const;

    /// ~/.ssh/known_hosts.
    static QString knownHostsPath();
    /// How a host is named in the known hosts and in ssh's advice: "[HOST]:PORT", or the host
    /// alone for port 22.
    static QString hostEntry(const QString &host, int port);

private:
    QByteArray m_blob;
};
