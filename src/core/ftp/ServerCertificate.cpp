#include "ServerCertificate.h"

#include <QCryptographicHash>

#include <optional>

namespace {

// One DER element: its tag, where it begins, where its contents begin and how long they are.
struct Element
{
    quint8 tag = 0;
    qsizetype begin = 0;
    qsizetype contents = 0;
    qsizetype length = 0;

    qsizetype end() const { return contents + length; }
};

std::optional<Element> elementAt(const QByteArray &der, qsizetype at, qsizetype limit)
{
    if (at + 2 > limit)
        return std::nullopt;
    Element element {quint8(der.at(at)), at, at + 2, 0};
    const auto lengthByte = quint8(der.at(at + 1));
    if (lengthByte < 0x80) {
        element.length = lengthByte;
    } else {
        const int bytes = lengthByte & 0x7f;
        if (bytes == 0 || bytes > 4 || element.contents + bytes > limit)
            return std::nullopt;
        for (int i = 0; i < bytes; ++i)
            element.length = (element.length << 8) | quint8(der.at(element.contents + i));
        element.contents += bytes;
    }
    if (element.length < 0 || element.end() > limit)
        return std::nullopt;
    return element;
}

constexpr quint8 Sequence = 0x30;
constexpr quint8 ExplicitVersion = 0xa0;

// The SubjectPublicKeyInfo of a certificate: the seventh field of its first sequence (the
// to-be-signed part), or the sixth where the version is left out.
QByteArray subjectPublicKeyInfo(const QByteArray &der)
{
    const auto certificate = elementAt(der, 0, der.size());
    if (!certificate || certificate->tag != Sequence)
        return {};
    const auto toBeSigned = elementAt(der, certificate->contents, certificate->end());
    if (!toBeSigned || toBeSigned->tag != Sequence)
        return {};
    auto field = elementAt(der, toBeSigned->contents, toBeSigned->end());
    if (field && field->tag == ExplicitVersion)
        field = elementAt(der, field->end(), toBeSigned->end());
    // serial number, signature algorithm, issuer, validity, subject
    for (int skipped = 0; field && skipped < 5; ++skipped)
        field = elementAt(der, field->end(), toBeSigned->end());
    if (!field || field->tag != Sequence)
        return {};
    return der.mid(field->begin, field->end() - field->begin);
}

} // namespace

ServerCertificate ServerCertificate::fromPem(const QByteArray &pem)
{
    static const QByteArray begin = "-----BEGIN CERTIFICATE-----";
    static const QByteArray end = "-----END CERTIFICATE-----";
    const qsizetype start = pem.indexOf(begin);
    const qsizetype stop = start < 0 ? -1 : pem.indexOf(end, start);
    ServerCertificate certificate;
    if (stop < 0)
        return certificate;
    const QByteArray body = pem.mid(start + begin.size(), stop - start - begin.size()).simplified().replace(' ', "");
    const auto decoded = QByteArray::fromBase64Encoding(body, QByteArray::AbortOnBase64DecodingErrors);
    if (decoded)
        certificate.m_der = *decoded;
    return certificate;
}

QString ServerCertificate::fingerprint() const
{
    return QString::fromLatin1(QCryptographicHash::hash(m_der, QCryptographicHash::Sha256).toHex(':').toUpper());
}

QByteArray ServerCertificate::publicKeyPin() const
{
    const QByteArray key = subjectPublicKeyInfo(m_der);
    if (key.isEmpty())
        return {};
    return "sha256//" + QCryptographicHash::hash(key, QCryptographicHash::Sha256).toBase64();
}
