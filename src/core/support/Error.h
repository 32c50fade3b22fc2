#pragma once

#include <QString>
#include <QVariantMap>

// An error record: a domain, a code and a dictionary of details. A default-constructed Error is
// "no error"; jobs hand one to their owner when they end, and the owner shows its failure reason.
class Error final
{
public:
    static const QString TitleKey;
    static const QString DescriptionKey;
    static const QString FailureReasonKey;

    /// The domain of every error the system makes itself.
    static const QString TessaryDomain;

    Error() = default;
    Error(QString domain, qint64 code, QVariantMap userInfo = {});
    /// Why something the user asked for will not be done, as the user is told it: the title of
    /// its alert and the text (the description and failure reason).
    static Error refusal(const QString &title, const QString &text);
    /// The user cancelled: there is nothing to tell.
    static Error cancellation();

    /// True for "no error".
    bool isNull() const { return m_domain.isNull(); }
    bool isCancellation() const;

    QString domain() const { return m_domain; }
    qint64 code() const { return m_code; }
    QVariantMap userInfo() const { return m_userInfo; }

    /// The text under the description key, or a generic text naming domain and code.
    QString localizedDescription() const;
    /// The text under the failure-reason key; null when there is none. This is what the user sees.
    QString localizedFailureReason() const;
    /// The title of the alert that tells of it; null for the generic one.
    QString title() const { return m_userInfo.value(TitleKey).toString(); }

    bool operator==(const Error &other) const = default;

private:
    QString m_domain;
    qint64 m_code = 0;
    QVariantMap m_userInfo;
};
