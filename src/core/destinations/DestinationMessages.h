#pragma once

#include "Destination.h"

#include <QStringList>

// Sends the archive in a message through the user's paired phone.
class DestinationMessages final : public Destination
{
    Q_OBJECT

public:
    explicit DestinationMessages(const QString &name);
    explicit DestinationMessages(const KeyedCoder &coder);

    DestinationType type() const override { return DestinationTypeMessages; }
    Traits traits() const override { return {Deletable, Renamable, Interactive, Configurable}; }
    QString iconName() const override;
    void encodeWithCoder(KeyedCoder &coder) const override;
    /// Sends the archive in a message through the paired phone.
    void destinationWasUsedWithArchivePath(const QString &archivePath, const DeliveryCompletion &delivered) override;

    /// The text of the message; null or empty means the standard one.
    QString subject() const { return m_subject; }
    void setSubject(const QString &subject) { m_subject = subject; }
    /// The recipients; none means the user picks them.
    QStringList recipients() const { return m_recipients; }
    void setRecipients(const QStringList &recipients) { m_recipients = recipients; }

private:
    QString m_subject;
    QStringList m_recipients;
};
