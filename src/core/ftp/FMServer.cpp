#include "FMServer.h"

#include <QDebug>

using namespace Qt::Literals::StringLiterals;

FMServer FMServer::serverWithDestination(const QString &destination, const QString &username, const QString &password)
{
    return FMServer {destination, username, password, 21};
}

FMServer FMServer::anonymousServerWithDestination(const QString &destination)
{
    return FMServer {destination, u"anonymous"_s, u""_s, 21};
}

namespace FMDestination {

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
                                    "Define the port in FMServer.port instead.";
            break;
        }
    }
    return rest;
}

QString fmhost(const QString &destination)
{
    QString host = stringWithoutProtocol(destination);
    if (host.startsWith(u'@'))
        host.remove(0, 1);
    const qsizetype slash = host.indexOf(u'/');
    return slash >= 0 ? host.left(slash) : host;
}

QString fmdir(const QString &destination)
{
    const QString rest = stringWithoutProtocol(destination);
    const qsizetype slash = rest.indexOf(u'/');
    return slash >= 0 ? rest.mid(slash + 1) : QString();
}

QUrl ftpURLForPort(const QString &destination, qint32 port)
{
    const QString host = fmhost(destination);
    const QString hostPart = port == 21 ? host : u"%1:%2"_s.arg(host).arg(port);
    QString text = u"ftp://"_s + hostPart;
    const QString folder = fmdir(destination);
    if (!folder.isEmpty())
        text += u'/' + QString::fromLatin1(QUrl::toPercentEncoding(folder, "/"));
    const QUrl url(text, QUrl::StrictMode);
    return url.isValid() ? url : QUrl();
}

} // namespace FMDestination
