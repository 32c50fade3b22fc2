#include "KeychainQuery.h"

#include "KeychainBackend.h"

#include <QDateTime>

using namespace Qt::Literals::StringLiterals;

const QString VLTKeychainErrorDomain = u"org.tessary.keychain"_s;
const QString kVLTKeychainAccountKey = u"acct"_s;
const QString kVLTKeychainCreatedAtKey = u"cdat"_s;
const QString kVLTKeychainLabelKey = u"labl"_s;
const QString kVLTKeychainLastModifiedKey = u"mdat"_s;
const QString kVLTKeychainWhereKey = u"svce"_s;

namespace {
const QString kServiceAttribute = u"service"_s;
const QString kAccountAttribute = u"account"_s;
} // namespace

QString KeychainQuery::password() const
{
    return m_passwordData.isEmpty() ? QString() : QString::fromUtf8(m_passwordData);
}

void KeychainQuery::setPassword(const QString &password)
{
    m_passwordData = password.toUtf8();
}

QMap<QString, QString> KeychainQuery::query() const
{
    QMap<QString, QString> attributes;
    if (!m_service.isNull())
        attributes.insert(kServiceAttribute, m_service);
    if (!m_account.isNull())
        attributes.insert(kAccountAttribute, m_account);
    return attributes;
}

bool KeychainQuery::fail(qint32 code, const QString &message, Error *error) const
{
    if (error != nullptr)
        *error = errorWithCode(code, message);
    return false;
}

bool KeychainQuery::save(Error *error)
{
    if (m_service.isNull() || m_account.isNull() || m_passwordData.isEmpty())
        return fail(VLTKeychainErrorBadArguments, {}, error);

    QList<KeychainBackend::Item> found;
    KeychainBackend::Status status = KeychainBackend::system().find(query(), false, false, found);
    if (status.code == KeychainBackend::StatusItemNotFound)
        status = KeychainBackend::system().create(query(), m_label.isEmpty() ? m_service : m_label, m_passwordData);
    else if (status.code == 0)
        status = KeychainBackend::system().replaceSecret(query(), m_passwordData);
    return status.code == 0 || fail(status.code, status.message, error);
}

bool KeychainQuery::deleteItem(Error *error)
{
    if (m_service.isNull() || m_account.isNull())
        return fail(VLTKeychainErrorBadArguments, {}, error);
    const KeychainBackend::Status status = KeychainBackend::system().remove(query());
    return status.code == 0 || fail(status.code, status.message, error);
}

bool KeychainQuery::fetch(Error *error)
{
    if (m_service.isNull() || m_account.isNull())
        return fail(VLTKeychainErrorBadArguments, {}, error);
    QList<KeychainBackend::Item> found;
    const KeychainBackend::Status status = KeychainBackend::system().find(query(), false, true, found);
    if (status.code != 0)
        return fail(status.code, status.message, error);
    m_passwordData = found.value(0).secret;
    return true;
}

std::optional<QList<QVariantMap>> KeychainQuery::fetchAll(Error *error)
{
    QList<KeychainBackend::Item> found;
    const KeychainBackend::Status status = KeychainBackend::system().find(query(), true, false, found);
    if (status.code != 0) {
        fail(status.code, status.message, error);
        return std::nullopt;
    }
    QList<QVariantMap> items;
    for (const KeychainBackend::Item &item : std::as_const(found)) {
        items << QVariantMap {{kVLTKeychainAccountKey, item.attributes.value(kAccountAttribute)},
            {kVLTKeychainWhereKey, item.attributes.value(kServiceAttribute)}, {kVLTKeychainLabelKey, item.label},
            {kVLTKeychainCreatedAtKey, item.created}, {kVLTKeychainLastModifiedKey, item.modified}};
    }
    return items;
}

Error KeychainQuery::errorWithCode(qint32 code, const QString &message)
{
    if (code == 0)
        return {};
    QString description = message;
    if (code == VLTKeychainErrorBadArguments)
        description = u"VLTKeychainErrorBadArguments"_s;
    else if (description.isEmpty() && code == KeychainBackend::StatusItemNotFound)
        description = u"The specified item could not be found in the keychain."_s;
    QVariantMap userInfo;
    if (!description.isEmpty())
        userInfo.insert(Error::DescriptionKey, description);
    return Error(VLTKeychainErrorDomain, code, userInfo);
}
