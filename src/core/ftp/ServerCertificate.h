#pragma once

#include <QByteArray>
#include <QString>

// A server's TLS certificate as it showed it, for the user to judge and to trust: its fingerprint
// and its public key's pin.
class ServerCertificate final
{
public:
    ServerCertificate() = default;
    /// The first certificate of a PEM text ("-----BEGIN CERTIFICATE-----" …).
    static ServerCertificate fromPem(const QByteArray &pem);

    bool isNull() const { return m_der.isEmpty(); }
    QByteArray der() const { return m_der; }
    /// The SHA-256 fingerprint of the whole certificate, as upper-case hex pairs joined by ":".
    QString fingerprint() const;
    /// "sha256//" and the base64 SHA-256 of the certificate's public key (its DER
    /// SubjectPublicKeyInfo), the form libcurl pins; empty when the certificate does not parse.
    QByteArray publicKeyPin() const;

private:
    QByteArray m_der;
};
