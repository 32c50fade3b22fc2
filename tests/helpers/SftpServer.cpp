#include "SftpServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <pwd.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {
// Runs ssh-keygen to the end; its output, or nothing when it fails. Its standard input is empty,
// so that it never waits for an answer.
QByteArray sshKeygen(const QStringList &arguments)
{
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(u"/usr/bin/ssh-keygen"_s, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    return process.readAllStandardOutput();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

SftpServer::SftpServer(const QString &home)
{
    const QString ssh = home + u"/.ssh"_s;
    if (!QFileInfo::exists(ssh)) {
        QDir().mkpath(ssh);
        QFile::setPermissions(ssh, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const QString userKey = ssh + u"/id_ed25519"_s;
    if (!QFileInfo::exists(userKey))
        sshKeygen({u"-q"_s, u"-t"_s, u"ed25519"_s, u"-N"_s, u""_s, u"-f"_s, userKey});

    const QString hostKey = m_keys.filePath(u"host_ed25519_key"_s);
    sshKeygen({u"-q"_s, u"-t"_s, u"ed25519"_s, u"-N"_s, u""_s, u"-f"_s, hostKey});
    // "256 SHA256:... comment (ED25519)"
    m_fingerprint = QString::fromLatin1(sshKeygen({u"-lf"_s, hostKey + u".pub"_s})).section(u' ', 1, 1);
    m_hostKeyLine = QString::fromLatin1(readFile(hostKey + u".pub"_s)).trimmed().section(u' ', 0, 1);

    const QString authorizedKeys = m_keys.filePath(u"authorized_keys"_s);
    QFile file(authorizedKeys);
    const QByteArray userPublicKey = readFile(userKey + u".pub"_s);
    if (m_fingerprint.isEmpty() || m_hostKeyLine.isEmpty() || userPublicKey.isEmpty()
        || !file.open(QIODevice::WriteOnly) || file.write(userPublicKey) != userPublicKey.size())
        return; // not running
    file.close();

    m_server
        = std::make_unique<FixtureServer>(u"sftp_server.py"_s, QStringList {m_root.path(), hostKey, authorizedKeys});
}

QString SftpServer::knownHostsLine() const
{
    return u"[127.0.0.1]:%1 %2"_s.arg(port()).arg(m_hostKeyLine);
}

QString SftpServer::userName()
{
    const passwd *entry = ::getpwuid(::geteuid());
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString();
}
