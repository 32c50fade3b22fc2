#pragma once

#include "VLTKeychainQuery.h"

// One-call access to the keychain's password items by service and account.
class VLTKeychain final
{
public:
    /// The stored password; null when there is none (error code -25300) or the keychain failed.
    static QString passwordForService(const QString &service, const QString &account, Error *error = nullptr);
    static QByteArray passwordDataForService(const QString &service, const QString &account, Error *error = nullptr);
    static bool deletePasswordForService(const QString &service, const QString &account, Error *error = nullptr);
    /// Creates the item or replaces its password.
    static bool setPassword(
        const QString &password, const QString &service, const QString &account, Error *error = nullptr);
    static bool setPasswordData(
        const QByteArray &password, const QString &service, const QString &account, Error *error = nullptr);
    /// The attributes of the items of one service.
    static std::optional<QList<QVariantMap>> accountsForService(const QString &service, Error *error = nullptr);
    /// The attributes of the items of every service.
    static std::optional<QList<QVariantMap>> allAccounts(Error *error = nullptr);
};
