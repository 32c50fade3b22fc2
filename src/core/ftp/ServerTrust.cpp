#include "ServerTrust.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <curl/curl.h>

#include <cstring>

using namespace Qt::Literals::StringLiterals;

namespace {

// A pin no key has: a connection that must fail right after the TLS handshake, before the login.
const char kImpossiblePin[] = "sha256//AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=";

// The user's own SSH key, where there is one.
QString userKeyFile()
{
    for (const QString &name : {u".ssh/id_ed25519"_s, u".ssh/id_rsa"_s}) {
        const QString path = QDir::home().filePath(name);
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

// The certificate the server at the URL shows. Unverified, but pinned to a key no certificate
// has: libcurl gathers the certificate and then ends the connection before it would log in.
ServerCertificate certificateShownBy(const QByteArray &url, int answerSeconds)
{
    CURL *probe = curl_easy_init();
    if (probe == nullptr)
        return {};
    curl_easy_setopt(probe, CURLOPT_URL, url.constData());
    curl_easy_setopt(probe, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(probe, CURLOPT_CONNECTTIMEOUT, long(answerSeconds));
    curl_easy_setopt(probe, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(answerSeconds));
    curl_easy_setopt(probe, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(probe, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
    curl_easy_setopt(probe, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(probe, CURLOPT_SSL_VERIFYHOST, 0L);
    curl_easy_setopt(probe, CURLOPT_CERTINFO, 1L);
    curl_easy_setopt(probe, CURLOPT_PINNEDPUBLICKEY, kImpossiblePin);
    curl_easy_perform(probe);
    ServerCertificate certificate;
    curl_certinfo *chain = nullptr;
    if (curl_easy_getinfo(probe, CURLINFO_CERTINFO, &chain) == CURLE_OK && chain != nullptr
        && chain->num_of_certs > 0) {
        for (const curl_slist *field = chain->certinfo[0]; field != nullptr; field = field->next) {
            if (std::strncmp(field->data, "Cert:", 5) == 0) {
                certificate = ServerCertificate::fromPem(QByteArray(field->data + 5));
                break;
            }
        }
    }
    curl_easy_cleanup(probe);
    return certificate;
}

} // namespace

// The host key the SFTP server shows, judged against the known hosts.
struct ServerTrust::HostKeyCheck
{
    static int callback(CURL *, const curl_khkey *, const curl_khkey *found, curl_khmatch match, void *context)
    {
        auto &trust = *static_cast<ServerTrust *>(context);
        const SSHHostKey key(QByteArray(found->key, qsizetype(found->len)));
        trust.m_hostKey = key;
        switch (match) {
        case CURLKHMATCH_OK:
            return CURLKHSTAT_FINE;
        case CURLKHMATCH_MISMATCH:
            trust.m_verdict = HostKeyChanged;
            return CURLKHSTAT_REJECT;
        default:
            break;
        }
        if (trust.m_acceptedHostKey.isEmpty() || key.blob() != trust.m_acceptedHostKey) {
            trust.m_verdict = HostKeyUnknown;
            return CURLKHSTAT_REJECT;
        }
        // Accepted by the user: known from now on, as ssh would have it.
        const QString problem
            = key.addToKnownHosts(SSHHostKey::knownHostsPath(), trust.m_hostKeyEntryHost, trust.m_hostKeyEntryPort);
        if (!problem.isNull())
            qWarning().noquote() << u"FTPManager: could not add the host key to %1: %2"_s.arg(
                SSHHostKey::knownHostsPath(), problem);
        return CURLKHSTAT_FINE;
    }
};

void ServerTrust::setUp(void *easy, const FTPServerInfo &server)
{
    m_certificate = {};
    m_hostKey = {};
    m_verdict = Trusted;
    switch (server.protocol) {
    case ServerProtocolFTP:
        break;
    case ServerProtocolFTPS:
        curl_easy_setopt(easy, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
        // A pinned key stands for the certificate: the store's verdict and the name in it do not count.
        if (!server.pinnedPublicKey.isEmpty()) {
            curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 0L);
            curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 0L);
            curl_easy_setopt(easy, CURLOPT_PINNEDPUBLICKEY, server.pinnedPublicKey.constData());
        }
        break;
    case ServerProtocolSFTP: {
        m_acceptedHostKey = server.acceptedHostKey;
        m_hostKeyEntryHost = FTPLocation::hostOf(server.destination);
        m_hostKeyEntryPort = server.port;
        curl_easy_setopt(easy, CURLOPT_SSH_KNOWNHOSTS, QFile::encodeName(SSHHostKey::knownHostsPath()).constData());
        curl_easy_setopt(easy, CURLOPT_SSH_KEYFUNCTION, &HostKeyCheck::callback);
        curl_easy_setopt(easy, CURLOPT_SSH_KEYDATA, this);
        if (!server.password.isEmpty()) {
            curl_easy_setopt(easy, CURLOPT_SSH_AUTH_TYPES, long(CURLSSH_AUTH_PASSWORD | CURLSSH_AUTH_KEYBOARD));
            break;
        }
        curl_easy_setopt(easy, CURLOPT_SSH_AUTH_TYPES, long(CURLSSH_AUTH_AGENT | CURLSSH_AUTH_PUBLICKEY));
        if (const QString key = userKeyFile(); !key.isEmpty()) {
            curl_easy_setopt(easy, CURLOPT_SSH_PRIVATE_KEYFILE, QFile::encodeName(key).constData());
            // Without its public half beside it, libssh2 works it out from the private key.
            const QString publicKey = key + u".pub"_s;
            curl_easy_setopt(easy, CURLOPT_SSH_PUBLIC_KEYFILE,
                QFileInfo(publicKey).isFile() ? QFile::encodeName(publicKey).constData() : "");
        }
        break;
    }
    }
}

int ServerTrust::perform(void *easy, const FTPServerInfo &server, const QByteArray &fallbackURL, int answerSeconds)
{
    const CURLcode result = curl_easy_perform(easy);
    if (server.protocol == ServerProtocolFTPS
        && (result == CURLE_PEER_FAILED_VERIFICATION || result == CURLE_SSL_PINNEDPUBKEYNOTMATCH)) {
        char *url = nullptr;
        curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &url);
        m_certificate = certificateShownBy(url != nullptr ? QByteArray(url) : fallbackURL, answerSeconds);
        m_verdict = CertificateUntrusted;
    }
    return result;
}
