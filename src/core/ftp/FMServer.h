#pragma once

#include <QString>
#include <QUrl>

// One FTP server to work with: where ("ftp://@HOST/FOLDER", the folder relative to the login
// folder; no port in it), who logs in, and the control port.
struct FMServer
{
    QString destination;
    QString username;
    QString password;
    qint32 port = 21;

    static FMServer serverWithDestination(const QString &destination, const QString &username, const QString &password);
    /// Logs in as "anonymous" with an empty password.
    static FMServer anonymousServerWithDestination(const QString &destination);
};

// Reading destination strings.
namespace FMDestination {
/// What follows "://"; warns when a port seems to be part of the host.
QString stringWithoutProtocol(const QString &destination);
/// The host name: without the protocol, a leading "@" and anything from the first "/".
QString fmhost(const QString &destination);
/// The folder after the host (possibly empty); null when there is none.
QString fmdir(const QString &destination);
/// "ftp://HOST[:PORT]/FOLDER" with the folder percent-escaped; invalid when it does not parse.
QUrl ftpURLForPort(const QString &destination, qint32 port);
} // namespace FMDestination
