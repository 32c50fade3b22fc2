#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>

// The desktop's password store as the keychain store needs it: items holding a secret, found by
// string attributes (an item matches when it carries every attribute asked for, whatever else it
// carries). Every call blocks until the store has answered.
class KeychainBackend
{
public:
    using Attributes = QMap<QString, QString>;

    /// The outcome of a call: 0 for success, StatusItemNotFound when no item matched, or
    /// StatusNotAvailable with the store's own message.
    struct Status
    {
        qint32 code = 0;
        QString message;
    };
    static constexpr qint32 StatusItemNotFound = -25300;
    static constexpr qint32 StatusNotAvailable = -25291;

    struct Item
    {
        Attributes attributes;
        QString label;
        QByteArray secret; ///< only when asked for
        QDateTime created;
        QDateTime modified;
    };

    virtual ~KeychainBackend() = default;

    /// The matching items: the first only, or all of them; with their secrets when asked.
    virtual Status find(const Attributes &attributes, bool all, bool withSecret, QList<Item> &items) = 0;
    /// Creates an item.
    virtual Status create(const Attributes &attributes, const QString &label, const QByteArray &secret) = 0;
    /// Replaces the secret of the first matching item; its label stays.
    virtual Status replaceSecret(const Attributes &attributes, const QByteArray &secret) = 0;
    /// Deletes the first matching item.
    virtual Status remove(const Attributes &attributes) = 0;

    /// The store installed (the desktop's, or a test's stand-in); while none is, every call
    /// answers StatusNotAvailable.
    static KeychainBackend &system();
    static void setSystem(KeychainBackend *backend);
};
