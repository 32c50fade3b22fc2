#include "Keychain.h"

#include "KeychainBackend.h"
#include "core/pipeline/ThreadHops.h"

#include <QThreadPool>

namespace {
// The keychain's own worker: one call after the other, in the order asked for, never on the GUI
// thread. Never destroyed, so that a keyring that does not answer cannot hold up the exit.
void inKeychainOrder(std::function<void()> work)
{
    static QThreadPool *queue = [] {
        auto *pool = new QThreadPool;
        pool->setMaxThreadCount(1);
        return pool;
    }();
    queue->start(std::move(work));
}

KeychainQuery queryFor(const QString &service, const QString &account)
{
    KeychainQuery query;
    query.setService(service);
    query.setAccount(account);
    return query;
}
} // namespace

QString Keychain::passwordForService(const QString &service, const QString &account, Error *error)
{
    KeychainQuery query = queryFor(service, account);
    return query.fetch(error) ? query.password() : QString();
}

QByteArray Keychain::passwordDataForService(const QString &service, const QString &account, Error *error)
{
    KeychainQuery query = queryFor(service, account);
    query.fetch(error);
    return query.passwordData();
}

bool Keychain::deletePasswordForService(const QString &service, const QString &account, Error *error)
{
    return queryFor(service, account).deleteItem(error);
}

bool Keychain::setPassword(const QString &password, const QString &service, const QString &account, Error *error)
{
    KeychainQuery query = queryFor(service, account);
    query.setPassword(password);
    return query.save(error);
}

bool Keychain::setPasswordData(const QByteArray &password, const QString &service, const QString &account, Error *error)
{
    KeychainQuery query = queryFor(service, account);
    query.setPasswordData(password);
    return query.save(error);
}

std::optional<QList<QVariantMap>> Keychain::accountsForService(const QString &service, Error *error)
{
    KeychainQuery query;
    query.setService(service);
    return query.fetchAll(error);
}

void Keychain::readPassword(
    const QObject *receiver, const QString &service, const QString &account, ReadCompletion completion)
{
    inKeychainOrder([service, account, reply = boundToMainThread(receiver, std::move(completion))] {
        Error error;
        const QString password = passwordForService(service, account, &error);
        reply(password, error);
    });
}

void Keychain::storePassword(const QObject *receiver, const QString &password, const QString &service,
    const QString &account, WriteCompletion completion)
{
    inKeychainOrder([password, service, account, reply = boundToMainThread(receiver, std::move(completion))] {
        Error error;
        setPassword(password, service, account, &error);
        reply(error);
    });
}

void Keychain::removePassword(
    const QObject *receiver, const QString &service, const QString &account, WriteCompletion completion)
{
    inKeychainOrder([service, account, reply = boundToMainThread(receiver, std::move(completion))] {
        Error error;
        if (!deletePasswordForService(service, account, &error) && error.code() == KeychainBackend::StatusItemNotFound)
            error = Error();
        reply(error);
    });
}
