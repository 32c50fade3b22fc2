#include "FixtureServer.h"

using namespace Qt::Literals::StringLiterals;

FixtureServer::FixtureServer(const QString &script, const QStringList &arguments)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Debian's Python modules belong to the system's Python, which need not be the first on PATH.
    m_process.start(u"/usr/bin/python3"_s, QStringList {QStringLiteral(TESSARY_FIXTURES_DIR "/") + script} + arguments);
    if (m_process.waitForStarted(10000) && m_process.waitForReadyRead(10000))
        m_port = m_process.readLine().trimmed().toInt();
}

FixtureServer::~FixtureServer()
{
    m_process.kill();
    m_process.waitForFinished(5000);
}
