#include "KeychainBackend.h"

#include <atomic>

using namespace Qt::Literals::StringLiterals;

namespace {

// Where no password store is installed.
class NoKeychain final : public KeychainBackend
{
public:
    Status find(const Attributes &, bool, bool, QList<Item> &) override { return unavailable(); }
    Status create(const Attributes &, const QString &, const QByteArray &) override { return unavailable(); }
    Status replaceSecret(const Attributes &, const QByteArray &) override { return unavailable(); }
    Status remove(const Attributes &) override { return unavailable(); }

private:
    static Status unavailable() { return {StatusNotAvailable, u"No password store is available."_s}; }
};

// The keychain is used from worker threads as well.
std::atomic<KeychainBackend *> installedBackend {nullptr};

} // namespace

KeychainBackend &KeychainBackend::system()
{
    static NoKeychain none;
    KeychainBackend *backend = installedBackend.load();
    return backend != nullptr ? *backend : none;
}

void KeychainBackend::setSystem(KeychainBackend *backend)
{
    installedBackend = backend;
}
