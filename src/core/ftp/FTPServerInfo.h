#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

// How the client talks to a server. The values are stored with the FTP Destination.
enum ServerProtocol : qint32 {
    /// Plain FTP: the login and the data travel unencrypted.
    ServerProtocolFTP = 0,
    /// FTP that turns on TLS before the login ("AUTH TLS") and keeps it for every data connection.
    ServerProtocolFTPS = 1,
    /// SSH's file transfer.
    ServerProtocolSFTP = 2,
};

/// The port a server of the protocol listens on unless told otherwise: 22 for SFTP, 21 else.
qint32 defaultPortFor(ServerProtocol protocol);

// One server to work with: where ("ftp://@HOST/FOLDER", the folder relative to the login folder;
// no port in it), who logs in, the port, the protocol, and what the user chose to trust.
struct FTPServerInfo
{
    QString destination;
    QString username;
    QString password;
    qint32 port = 21;
    ServerProtocol protocol = ServerProtocolFTP;
    /// FTPS: the public key of a certificate the user chose to trust ("sha256//BASE64"). The
    /// server must show that key; the system's certificate store is then not asked.
    QByteArray pinnedPublicKey;
    /// SFTP: a host key (its blob) the user accepted; when the server shows it, it is added to
    /// the known hosts.
    QByteArray acceptedHostKey;

    static FTPServerInfo serverWithDestination(
        const QString &destination, const QString &username, const QString &password);
    /// Logs in as "anonymous" with an empty password.
    static FTPServerInfo anonymousServerWithDestination(const QString &destination);
};

// Reading destination strings.
namespace FTPLocation {
/// What follows "://"; warns when a port seems to be part of the host.
QString stringWithoutProtocol(const QString &destination);
/// The host name: without the protocol, a leading "@" and anything from the first "/".
QString hostOf(const QString &destination);
/// The folder after the host (possibly empty); null when there is none.
QString folderOf(const QString &destination);
/// The server's URL of the destination's folder: "ftp://HOST[:PORT]/FOLDER" (FTP and FTPS) or
/// "sftp://HOST[:PORT]/~/FOLDER" (SFTP, where "~" is the login folder), the folder
/// percent-escaped and the port left out where it is the protocol's own; invalid when it does
/// not parse.
QUrl urlFor(const FTPServerInfo &server);
} // namespace FTPLocation
