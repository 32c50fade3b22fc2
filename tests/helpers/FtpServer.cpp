#include "FtpServer.h"

using namespace Qt::Literals::StringLiterals;

FtpServer::FtpServer(Kind kind)
{
    QStringList arguments {m_root.path()};
    if (kind == Silent)
        arguments << u"--silent"_s;
    else if (kind == Slow)
        arguments << u"--slow"_s;
    else if (kind == EndlessListing)
        arguments << u"--endless-listing"_s;
    m_server = std::make_unique<FixtureServer>(u"ftp_server.py"_s, arguments);
}
