#include "VLTKeychain.h"

namespace {
VLTKeychainQuery queryFor(const QString &service, const QString &account)
{
    VLTKeychainQuery query;
    query.setService(service);
    query.setAccount(account);
    return query;
}
} // namespace

QString VLTKeychain::passwordForService(const QString &service, const QString &account, Error *error)
{
    VLTKeychainQuery query = queryFor(service, account);
    return query.fetch(error) ? query.password() : QString();
}

QByteArray VLTKeychain::passwordDataForService(const QString &service, const QString &account, Error *error)
{
    VLTKeychainQuery query = queryFor(service, account);
    query.fetch(error);
    return query.passwordData();
}

bool VLTKeychain::deletePasswordForService(const QString &service, const QString &account, Error *error)
{
    return queryFor(service, account).deleteItem(error);
}

bool VLTKeychain::setPassword(const QString &password, const QString &service, const QString &account, Error *error)
{
    VLTKeychainQuery query = queryFor(service, account);
    query.setPassword(password);
    return query.save(error);
}

bool VLTKeychain::setPasswordData(
    const QByteArray &password, const QString &service, const QString &account, Error *error)
{
    VLTKeychainQuery query = queryFor(service, account);
    query.setPasswordData(password);
    return query.save(error);
}

std::optional<QList<QVariantMap>> VLTKeychain::accountsForService(const QString &service, Error *error)
{
    VLTKeychainQuery query;
    query.setService(service);
    return query.fetchAll(error);
}

std::optional<QList<QVariantMap>> VLTKeychain::allAccounts(Error *error)
{
    return accountsForService(QString(), error);
}
