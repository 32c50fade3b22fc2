#include "FTPAddress.h"

#include <QUrl>

using namespace Qt::Literals::StringLiterals;

FTPAddress FTPAddress::parse(const QString &text)
{
    FTPAddress address;
    const QString trimmed = text.trimmed();
    const qsizetype schemeEnd = trimmed.indexOf(u"://"_s);
    const QString scheme = schemeEnd < 0 ? QString() : trimmed.left(schemeEnd).toLower();
    if (scheme == u"ftp"_s)
        address.protocol = ServerProtocolFTP;
    else if (scheme == u"ftps"_s)
        address.protocol = ServerProtocolFTPS;
    else if (scheme == u"sftp"_s)
        address.protocol = ServerProtocolSFTP;
    if (!address.protocol) {
        address.host = trimmed;
        return address;
    }
    const QUrl url(trimmed, QUrl::TolerantMode);
    if (!url.isValid() || url.host().isEmpty()) {
        address.host = trimmed.mid(schemeEnd + 3);
        return address;
    }
    address.userName = url.userName();
    address.host = url.host().contains(u':') ? u"[%1]"_s.arg(url.host()) : url.host();
    address.port = qMax(url.port(), 0);
    QString folder = url.path();
    if (folder.startsWith(u"/~/"_s))
        folder.remove(0, 3);
    while (folder.startsWith(u'/'))
        folder.remove(0, 1);
    while (folder.endsWith(u'/'))
        folder.chop(1);
    address.folder = folder;
    return address;
}
