#pragma once

#include "core/support/Error.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariantMap>

#include <optional>

/// The domain of the keychain store's errors; their codes are the keychain's status codes.
extern const QString VLTKeychainErrorDomain;
/// A call that lacks a service, an account or a secret.
constexpr qint32 VLTKeychainErrorBadArguments = -1001;

/// Keys of the attribute dictionaries that fetchAll() gives.
extern const QString kVLTKeychainAccountKey;
extern const QString kVLTKeychainCreatedAtKey;
extern const QString kVLTKeychainLabelKey;
extern const QString kVLTKeychainLastModifiedKey;
extern const QString kVLTKeychainWhereKey;

// Describes one password item of the desktop's keychain, identified by its service and account,
// and saves, fetches or deletes it, or lists the items that match. Every call blocks until the
// keychain has answered; an error, when asked for, is written only on failure.
class KeychainQuery final
{
public:
    QString account() const { return m_account; }
    void setAccount(const QString &account) { m_account = account; }
    QString service() const { return m_service; }
    void setService(const QString &service) { m_service = service; }
    /// Written only when an item is created.
    QString label() const { return m_label; }
    void setLabel(const QString &label) { m_label = label; }
    /// The secret as stored.
    QByteArray passwordData() const { return m_passwordData; }
    void setPasswordData(const QByteArray &data) { m_passwordData = data; }

    /// The secret as UTF-8 text; null when there is none or it is empty.
    QString password() const;
    void setPassword(const QString &password);

    /// Creates the item, or replaces the secret of an existing one (its label stays).
    bool save(Error *error = nullptr);
    bool deleteItem(Error *error = nullptr);
    /// On success passwordData holds the secret; on failure it keeps its earlier value.
    bool fetch(Error *error = nullptr);
    /// The attributes of every matching item (of the service when one is set, else of all).
    std::optional<QList<QVariantMap>> fetchAll(Error *error = nullptr);

    /// The error for a keychain status; null for 0.
    static Error errorWithCode(qint32 code, const QString &message = {});

private:
    QMap<QString, QString> query() const;
    bool fail(qint32 code, const QString &message, Error *error) const;

    QString m_account;
    QString m_service;
    QString m_label;
    QByteArray m_passwordData;
};
