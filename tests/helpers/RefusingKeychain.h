#pragma once

#include "core/settings/KeychainBackend.h"

// A keyring that holds nothing and takes nothing (as one whose unlock the user refused to
// writes), put in place of the desktop's for the object's life.
class RefusingKeychain final : public KeychainBackend
{
public:
    RefusingKeychain()
        : m_previous(KeychainBackend::system())
    {
        KeychainBackend::setSystem(this);
    }
    ~RefusingKeychain() override { KeychainBackend::setSystem(&m_previous); }
    RefusingKeychain(const RefusingKeychain &) = delete;
    RefusingKeychain &operator=(const RefusingKeychain &) = delete;

    Status find(const Attributes &, bool, bool, QList<Item> &) override { return {StatusItemNotFound, {}}; }
    Status create(const Attributes &, const QString &, const QByteArray &) override { return refused(); }
    Status replaceSecret(const Attributes &, const QByteArray &) override { return refused(); }
    Status remove(const Attributes &) override { return refused(); }

private:
    static Status refused() { return {StatusNotAvailable, QStringLiteral("The keyring refused to be unlocked.")}; }

    KeychainBackend &m_previous;
};
