#pragma once

#include "Destination.h"

#include <QStringList>

// Attaches the archive to a new e-mail in the user's mail program.
class DestinationEmail final : public Destination
{
    Q_OBJECT

public:
    explicit DestinationEmail(const QString &name);
    explicit DestinationEmail(const KeyedCoder &coder);

    DestinationType type() const override { return DestinationTypeEmail; }
    Traits traits() const override { return {Deletable, Renamable, Interactive, Configurable}; }
    QString iconName() const override;
    void encodeWithCoder(KeyedCoder &coder) const override;
    /// Opens a new e-mail with the archive attached.
    void destinationWasUsedWithArchivePath(const QString &archivePath, const DeliveryCompletion &delivered) override;

    /// The recipients; none means the user fills them in.
    QStringList emailAddresses() const { return m_emailAddresses; }
    void setEmailAddresses(const QStringList &addresses) { m_emailAddresses = addresses; }
    /// The subject; null or empty means the standard one.
    QString subject() const { return m_subject; }
    void setSubject(const QString &subject) { m_subject = subject; }
    /// The body; null or empty means the standard one.
    QString body() const { return m_body; }
    void setBody(const QString &body) { m_body = body; }
    /// Set by every confirmed configuration.
    bool hasBeenConfigured() const { return m_hasBeenConfigured; }
    void setHasBeenConfigured(bool configured) { m_hasBeenConfigured = configured; }

private:
    QStringList m_emailAddresses;
    QString m_subject;
    QString m_body;
    bool m_hasBeenConfigured = false;
};
