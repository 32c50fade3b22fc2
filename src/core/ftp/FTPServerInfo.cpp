#include "FTPServerInfo.h"

#include <QDebug>

using namespace Qt::Literals::StringLiterals;

qint32 defaultPortFor(ServerProtocol protocol)
{
    return protocol == ServerProtocolSFTP ? 22 : 21;
}

FTPServerInfo FTPServerInfo::serverWithDestination(
    const QString &destination, const QString &username, const QString &password)
{
    FTPServerInfo server;
    server.destination = destination;
    server.username = username;
    server.password = password;
    return server;
}

FTPServerInfo FTPServerInfo::anonymousServerWithDestination(const QString &destination)
{
    return serverWithDestination(destination, u"anonymous"_s, u""_s);
}

namespace FTPLocation {

QString stringWithoutProtocol(const QString &destination)
{
    QString rest = destination;
    const qsizetype protocolEnd = rest.indexOf(u"://"_s);
    if (protocolEnd >= 0)
        rest = rest.mid(protocolEnd + 3);
    // A bracketed IPv6 address ("[::1]") holds colons of its own.
    const qsizetype slash = rest.indexOf(u'/');
    const qsizetype addressEnd = rest.indexOf(u']');
    const qsizetype scanFrom = addressEnd >= 0 && (slash < 0 || addressEnd < slash) ? addressEnd + 1 : 0;
    for (const QChar character : QStringView(rest).mid(scanFrom)) {
        if (character == u'/')
            break;
        if (character == u':') {
            qWarning().noquote() << "FTPManager warning: there is possibly a port included in your destination url. "
                                    "Define the port in FTPServerInfo.port instead.";
            break;
        }
    }
    return rest;
}

QString hostOf(const QString &destination)
{
    QString host = stringWithoutProtocol(destination);
    if (host.startsWith(u'@'))
        host.remove(0, 1);
    const qsizetype slash = host.indexOf(u'/');
    return slash >= 0 ? host.left(slash) : host;
}

QString folderOf(const QString &destination)
{
    const QString rest = stringWithoutProtocol(destination);
    const qsizetype slash = rest.indexOf(u'/');
    return slash >= 0 ? rest.mid(slash + 1) : QString();
}

QUrl urlFor(const FTPServerInfo &server)
{
    const QString host = hostOf(server.destination);
    const bool sftp = server.protocol == ServerProtocolSFTP;
    QString text = sftp ? u"sftp://"_s : u"ftp://"_s;
    text += server.port == defaultPortFor(server.protocol) ? host : u"%1:%2"_s.arg(host).arg(server.port);
    if (sftp)
        text += u"/~"_s;
    const QString folder = folderOf(server.destination);
    if (!folder.isEmpty())
        text += u'/' + QString::fromLatin1(QUrl::toPercentEncoding(folder, "/"));
    const QUrl url(text, QUrl::StrictMode);
    return url.isValid() ? url : QUrl();
}

} // namespace FTPLocation
