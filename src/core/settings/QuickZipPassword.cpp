#include "QuickZipPassword.h"

#include "Keychain.h"
#include "KeychainBackend.h"
#include "core/support/Log.h"

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kKeychainService = u"Tessary"_s;
const QString kKeychainAccount = u"Tessary"_s;

QString describe(const Error &error)
{
    return u"Error Domain=%1 Code=%2 \"%3\""_s.arg(
        error.domain(), QString::number(error.code()), error.localizedDescription());
}
} // namespace

void QuickZipPassword::read(const QObject *receiver, ReadCompletion completion)
{
    Keychain::readPassword(receiver, kKeychainService, kKeychainAccount,
        [completion = std::move(completion)](const QString &password, const Error &error) {
            const bool readable = error.isNull() || error.code() == KeychainBackend::StatusItemNotFound;
            if (!readable)
                Log::handler()(u"ERROR RETRIEVING PASSWORD:  %1"_s.arg(describe(error)));
            completion(password, readable);
        });
}

void QuickZipPassword::store(const QObject *receiver, const QString &password, StoreCompletion completion)
{
    Keychain::storePassword(receiver, password, kKeychainService, kKeychainAccount,
        [completion = std::move(completion)](const Error &error) {
            if (!error.isNull())
                Log::handler()(u"ERROR SAVING PASSWORD:  %1"_s.arg(describe(error)));
            completion(error);
        });
}
