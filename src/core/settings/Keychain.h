#pragma once

#include "KeychainQuery.h"

#include <functional>

class QObject;

// One-call access to the keychain's password items by service and account: blocking calls for
// worker threads, and calls for the GUI thread that do the work off it.
class Keychain final
{
public:
    /// (password, error): the password is null when there is none (error -25300) or the
    /// keychain failed.
    using ReadCompletion = std::function<void(const QString &password, const Error &error)>;
    /// A null error when the keychain took the change.
    using WriteCompletion = std::function<void(const Error &error)>;
    /// Reads the password off the GUI thread (a locked keyring may keep the answer waiting behind
    /// its unlock prompt) and answers on the GUI thread, unless the receiver has gone by then.
    /// Reads and writes are done one after the other, in the order they were asked for.
    static void readPassword(
        const QObject *receiver, const QString &service, const QString &account, ReadCompletion completion);
    /// Stores the password off the GUI thread, and answers like readPassword().
    static void storePassword(const QObject *receiver, const QString &password, const QString &service,
        const QString &account, WriteCompletion completion);
    /// Removes the item off the GUI thread (no item to remove is no error), and answers like
    /// readPassword().
    static void removePassword(
        const QObject *receiver, const QString &service, const QString &account, WriteCompletion completion);

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
};
