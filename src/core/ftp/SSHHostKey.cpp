#include "SSHHostKey.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

using namespace Qt::Literals::StringLiterals;

QString SSHHostKey::type() const
{
    // The blob begins with its type: a 32-bit big-endian length and the name.
    if (m_blob.size() < 4)
        return {};
    const quint32 length = qFromBigEndian<quint32>(m_blob.constData());
    if (length == 0 || length > quint32(m_blob.size() - 4))
        return {};
    return QString::fromLatin1(m_blob.mid(4, qsizetype(length)));
}

QString SSHHostKey::fingerprint() const
{
    const QByteArray digest = QCryptographicHash::hash(m_blob, QCryptographicHash::Sha256);
    return u"SHA256:"_s + QString::fromLatin1(digest.toBase64(QByteArray::OmitTrailingEquals));
}

QString SSHHostKey::hostEntry(const QString &host, int port)
{
    QString bare = host;
    if (bare.startsWith(u'[') && bare.endsWith(u']'))
        bare = bare.mid(1, bare.size() - 2);
    return port == 22 ? bare : u"[%1]:%2"_s.arg(bare).arg(port);
}

QString SSHHostKey::knownHostsLine(const QString &host, int port) const
{
    return u"%1 %2 %3"_s.arg(hostEntry(host, port), type(), QString::fromLatin1(m_blob.toBase64()));
}

QString SSHHostKey::addToKnownHosts(const QString &path, const QString &host, int port) const
{
    const QFileInfo info(path);
    QDir folder = info.absoluteDir();
    if (!folder.exists()) {
        if (!folder.mkpath(u"."_s))
            return u"could not make the folder \"%1\""_s.arg(folder.path());
        QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append))
        return file.errorString();
    // A last line without its line break gets one first.
    QByteArray text;
    if (file.size() > 0 && file.seek(file.size() - 1) && file.read(1) != "\n")
        text += '\n';
    text += knownHostsLine(host, port).toLatin1() + '\n';
    if (file.write(text) != text.size() || !file.flush())
        return file.errorString();
    return {};
}

QString SSHHostKey::knownHostsPath()
{
    return QDir::home().filePath(u".ssh/known_hosts"_s);
}
