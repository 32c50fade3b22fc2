#include "PresetPassword.h"

#include "core/destinations/DropboxManager.h"
#include "core/settings/QuickZipPassword.h"

#include <QTest>

#include <memory>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {
// Waits up to ten seconds for the keychain's answer to a write; true when it took it.
template <typename Write> bool waitForWrite(Write write)
{
    const auto answer = std::make_shared<std::optional<bool>>();
    const QObject receiver;
    write(&receiver, [answer](const Error &error) { *answer = error.isNull(); });
    return QTest::qWaitFor([&answer] { return answer->has_value(); }, 10000) && **answer;
}
} // namespace

QString presetPassword()
{
    const auto answer = std::make_shared<std::optional<QString>>();
    const QObject receiver;
    QuickZipPassword::read(&receiver,
        [answer](const QString &password, bool readable) { *answer = readable ? password : u"(unreadable)"_s; });
    if (!QTest::qWaitFor([&answer] { return answer->has_value(); }, 10000))
        return u"(no answer)"_s;
    return **answer;
}

bool setPresetPassword(const QString &password)
{
    return waitForWrite([&password](const QObject *receiver, QuickZipPassword::StoreCompletion completion) {
        QuickZipPassword::store(receiver, password, std::move(completion));
    });
}

bool setDropboxToken(const QString &token)
{
    return waitForWrite([&token](const QObject *receiver, Keychain::WriteCompletion completion) {
        DropboxManager::storeAccessToken(receiver, token, std::move(completion));
    });
}
