#include "FtpsServer.h"

#include <QProcess>

using namespace Qt::Literals::StringLiterals;

namespace {
// Runs openssl to the end with INPUT on its standard input; its output, or nothing when it fails.
QByteArray openssl(const QStringList &arguments, const QByteArray &input = {})
{
    QProcess process;
    process.start(u"/usr/bin/openssl"_s, arguments);
    if (!process.waitForStarted(10000))
        return {};
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    return process.readAllStandardOutput();
}
} // namespace

FtpsServer::FtpsServer()
{
    const QString certificate = m_keys.filePath(u"cert.pem"_s);
    const QString key = m_keys.filePath(u"key.pem"_s);
    openssl({u"req"_s, u"-x509"_s, u"-newkey"_s, u"rsa:2048"_s, u"-nodes"_s, u"-days"_s, u"2"_s, u"-subj"_s,
        u"/CN=localhost"_s, u"-keyout"_s, key, u"-out"_s, certificate});

    // "sha256 Fingerprint=AB:CD:..." (older versions say "SHA256").
    const QByteArray fingerprint
        = openssl({u"x509"_s, u"-noout"_s, u"-fingerprint"_s, u"-sha256"_s, u"-in"_s, certificate});
    m_fingerprint = QString::fromLatin1(fingerprint.mid(fingerprint.indexOf('=') + 1).trimmed());

    const QByteArray publicKey = openssl({u"x509"_s, u"-noout"_s, u"-pubkey"_s, u"-in"_s, certificate});
    const QByteArray der = openssl({u"pkey"_s, u"-pubin"_s, u"-outform"_s, u"der"_s}, publicKey);
    const QByteArray digest = openssl({u"dgst"_s, u"-sha256"_s, u"-binary"_s}, der);
    const QByteArray base64 = openssl({u"base64"_s, u"-A"_s}, digest).trimmed();
    if (m_fingerprint.isEmpty() || der.isEmpty() || digest.size() != 32 || base64.isEmpty())
        return; // not running: the tests see that, rather than comparing with an empty pin
    m_pin = "sha256//" + base64;

    m_server = std::make_unique<FixtureServer>(u"ftps_server.py"_s, QStringList {m_root.path(), certificate, key});
}
