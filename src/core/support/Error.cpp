#include "Error.h"

using namespace Qt::Literals::StringLiterals;

const QString Error::TitleKey = u"title"_s;
const QString Error::DescriptionKey = u"description"_s;
const QString Error::FailureReasonKey = u"failureReason"_s;
const QString Error::TessaryDomain = u"Tessary"_s;

Error::Error(QString domain, qint64 code, QVariantMap userInfo)
    : m_domain(domain.isNull() ? u""_s : std::move(domain))
    , m_code(code)
    , m_userInfo(std::move(userInfo))
{
}

namespace {
constexpr qint64 kCancelledCode = -1;
} // namespace

Error Error::refusal(const QString &title, const QString &text)
{
    return Error(TessaryDomain, 0, {{TitleKey, title}, {DescriptionKey, text}, {FailureReasonKey, text}});
}

Error Error::cancellation()
{
    return Error(TessaryDomain, kCancelledCode);
}

bool Error::isCancellation() const
{
    return m_domain == TessaryDomain && m_code == kCancelledCode;
}

QString Error::localizedDescription() const
{
    const QString description = m_userInfo.value(DescriptionKey).toString();
    if (!description.isEmpty())
        return description;
    return u"The operation couldn\u2019t be completed. (%1 error %2.)"_s.arg(m_domain, QString::number(m_code));
}

QString Error::localizedFailureReason() const
{
    return m_userInfo.value(FailureReasonKey).toString();
}
