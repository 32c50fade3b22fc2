#include "FtpServer.h"

using namespace Qt::Literals::StringLiterals;

FtpServer::FtpServer(Kind kind)
{
    QStringList arguments {QStringLiteral(TESSARY_FIXTURES_DIR "/ftp_server.py"), m_root.path()};
    if (kind == Silent)
        arguments << u"--silent"_s;
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Debian's pyftpdlib belongs to the system's Python, which need not be the first on PATH.
    m_process.start(u"/usr/bin/python3"_s, arguments);
    if (m_process.waitForStarted(10000) && m_process.waitForReadyRead(10000))
        m_port = m_process.readLine().trimmed().toInt();
}

FtpServer::~FtpServer()
{
    m_process.kill();
    m_process.waitForFinished(5000);
}
