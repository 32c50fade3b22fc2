#pragma once

#include "core/settings/KeychainBackend.h"

// The Secret Service (GNOME Keyring, KWallet) through libsecret.
class SecretServiceKeychain final : public KeychainBackend
{
public:
    Status find(const Attributes &attributes, bool all, bool withSecret, QList<Item> &items) override;
    Status create(const Attributes &attributes, const QString &label, const QByteArray &secret) override;
    Status replaceSecret(const Attributes &attributes, const QByteArray &secret) override;
    Status remove(const Attributes &attributes) override;
};
