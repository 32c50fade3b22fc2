#include "PresetPassword.h"

#include "core/settings/Settings.h"

#include <QTest>

#include <memory>
#include <optional>

using namespace Qt::Literals::StringLiterals;

QString presetPassword()
{
    const auto answer = std::make_shared<std::optional<QString>>();
    Settings::readQuickZipPassword(
        [answer](const QString &password, bool readable) { *answer = readable ? password : u"(unreadable)"_s; });
    if (!QTest::qWaitFor([&answer] { return answer->has_value(); }, 10000))
        return u"(no answer)"_s;
    return **answer;
}
