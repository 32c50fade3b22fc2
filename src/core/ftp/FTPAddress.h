#pragma once

#include "FTPServerInfo.h"

#include <QString>

#include <optional>

// A server address as a user writes it: a host name, or a URL "ftp://", "ftps://" or "sftp://"
// with the host and, where given, a user, a port and a folder ("sftp://anna@example.com:2222/up").
// "ftps://" stands for FTP with TLS turned on before the login.
struct FTPAddress
{
    /// From the URL's scheme; none for a bare host.
    std::optional<ServerProtocol> protocol;
    QString userName;
    QString host;
    /// 0 where none is given.
    qint32 port = 0;
    QString folder;

    static FTPAddress parse(const QString &text);
};
